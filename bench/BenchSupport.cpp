#include "bench/BenchSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "core/Schema.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace bench {

sqlite3* OpenFloorCopy(const std::filesystem::path& file) {
  const std::filesystem::path floor = file.parent_path() / "floor.mdb";
  std::filesystem::copy_file(file, floor, std::filesystem::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(floor.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) std::abort();
  return db;
}

void CommitRaw(sqlite3* db, const std::vector<std::string>& statements) {
  auto run = [db](const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "floor: %s: %s\n", sql.c_str(), sqlite3_errmsg(db));
      std::abort();
    }
  };
  run("BEGIN");
  for (const std::string& sql : statements) run(sql);
  run("COMMIT");
}

void ReadAllRaw(benchmark::State& state, const std::filesystem::path& file, const char* sql) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, sql, -1, &st, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "floor: %s: %s\n", sql, sqlite3_errmsg(raw));
      std::abort();
    }
    const int columns = sqlite3_column_count(st);
    long bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
      for (int i = 0; i < columns; ++i) bytes += sqlite3_column_bytes(st, i);
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(bytes);
  }
  sqlite3_close(raw);
}

void RawRead(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "floor: %s: %s\n", sql.c_str(), sqlite3_errmsg(raw));
    std::abort();
  }
  size_t bytes = 0;
  while (sqlite3_step(st) == SQLITE_ROW)
    for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
      sqlite3_column_text(st, c);
      bytes += static_cast<size_t>(sqlite3_column_bytes(st, c));
    }
  benchmark::DoNotOptimize(bytes);
  sqlite3_finalize(st);
  sqlite3_close(raw);
}

namespace {
std::vector<std::filesystem::path>& MadeFolders() {
  static std::vector<std::filesystem::path> made;
  return made;
}
}  // namespace

std::filesystem::path MakeDataFolder(const std::string& prefix) {
  std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(tmpl.data())) std::abort();
  std::filesystem::path dir = tmpl;
  MadeFolders().push_back(dir);
  ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
  vb::SetSettingsFile((dir / "settings.ini").string());
  std::filesystem::current_path(dir);
  vb::PromptScript::Install();
  return dir;
}

void MakeGameCollection(const std::string& path, int games) {
  tvn::schema::CreateGameCollectionFile(path);
  dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase(path);
  db->BeginTrans();
  for (int i = 1; i <= 200; ++i) {
    const std::string n = std::to_string(i);
    db->Execute("insert into publisher (labelstudio_name, GBOn, NTOn, PSOn, SegaOn, XOn, OtherOn) values "
                "('Publisher " + n + "', true, true, true, true, true, true)");
    db->Execute("insert into developer (artist_name, PSOn) values ('Developer " + n + "', true)");
    if (i <= 40) db->Execute("insert into genre (category, PSOn) values ('Genre " + n + "', true)");
    if (i <= 30) db->Execute("insert into systype (systype) values ('System " + n + "')");
    if (i <= 30) db->Execute("insert into supports (Name) values ('Feature " + n + "')");
  }
  auto rs = db->OpenRecordset("mediadata");
  auto types = db->OpenRecordset("systypemedia");
  auto features = db->OpenRecordset("supportsmedia");
  for (int i = 1; i <= games; ++i) {
    rs->AddNew();
    rs->SetField("name", std::string(1, char('A' + (i * 7) % 26)) + "ame " + std::to_string(i));
    rs->SetField("sectionnumber", vb::Variant::Byte(std::uint8_t(1 + i % 6)));
    rs->SetField("publisher", vb::Variant::Long(1 + i % 200));
    rs->SetField("developer", vb::Variant::Long(1 + i % 200));
    rs->SetField("genre", vb::Variant::Long(1 + i % 40));
    rs->SetField("notes", "Notes of game " + std::to_string(i));
    rs->Update();
    for (int k = 0; k < 2; ++k) {
      types->AddNew();
      types->SetField("systemnumber", vb::Variant::Long(i));
      types->SetField("systypeid", vb::Variant::Long(1 + (i + k) % 30));
      types->Update();
      features->AddNew();
      features->SetField("systemnumber", vb::Variant::Long(i));
      features->SetField("supports", vb::Variant::Long(1 + (i + 3 * k) % 30));
      features->Update();
    }
  }
  rs->Close();
  types->Close();
  features->Close();
  db->CommitTrans();
  db->Close();
}

bool MillionRequested() {
  const char* m = std::getenv("TVN_BENCH_MILLION");
  return m && *m == '1';
}

void CollectorSizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000);
  if (MillionRequested()) b->Arg(1000000);
}

long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return 0;
}

long ResidentKb() { return StatusKb("VmRSS"); }
long PeakKb() { return StatusKb("VmHWM"); }
void TrimHeap() { malloc_trim(0); }
void ResetPeak() {
  TrimHeap();
  std::ofstream("/proc/self/clear_refs") << "5";
}

long CountRows(const dao::DatabasePtr& db, const std::string& where) {
  dao::RecordsetPtr rs = db->OpenRecordset("select count(*) as n from " + where);
  const long rows = static_cast<long>(vb::Val(vb::NzStr(rs->GetField(0))));
  rs->Close();
  return rows;
}

void RemoveDataFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(dir, ec);
}

void RemoveAllDataFolders() {
  for (const std::filesystem::path& dir : MadeFolders()) RemoveDataFolder(dir);
}

void AddItems(const dao::DatabasePtr& db, int items, const std::function<void(dao::Recordset&, int)>& more) {
  static const char* const sections[] = {"Cassette", "Compact Disc", "DVD", "Laser Disc", "LP",
                                         "Video Tape", "MiniDisc", "MP3", "Software"};
  auto rs = db->OpenRecordset("mediadata");
  for (int i = 0; i < items; ++i) {
    const int section = 1 + i % 9;
    rs->AddNew();
    // Names spread over the alphabet, as a real collection's are.
    rs->SetField("name", std::string(1, char('A' + (i * 7) % 26)) + "lbum " + std::to_string(i));
    rs->SetField("SectionNumber", vb::Variant::Byte(std::uint8_t(section)));
    rs->SetField("section", sections[section - 1]);
    rs->SetField("artist1", "Artist " + std::to_string(i % 500));
    rs->SetField("category", "Category " + std::to_string(i % 40));
    rs->SetField("cat_number", std::to_string(i % 1000));
    for (int t = 1; t <= 10; ++t) rs->SetField("title" + std::to_string(t), "Track " + std::to_string(t));
    if (more) more(*rs, i);
    rs->Update();
  }
  rs->Close();
}

}  // namespace bench

namespace bench {

struct GapMeter::Impl {
  QTimer timer;
  QElapsedTimer sinceTurn;
  qint64 longestNs = 0;
};

GapMeter::GapMeter() : impl_(new Impl) {
  impl_->sinceTurn.start();
  impl_->timer.setInterval(10);
  impl_->timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&impl_->timer, &QTimer::timeout, [i = impl_] {
    i->longestNs = std::max(i->longestNs, i->sinceTurn.nsecsElapsed());
    i->sinceTurn.restart();
  });
  impl_->timer.start();
}

GapMeter::~GapMeter() { delete impl_; }

double GapMeter::Longest() const {
  return std::max(impl_->longestNs, impl_->sinceTurn.nsecsElapsed()) / 1e9;
}

std::pair<double, double> TimedWithGap(const std::function<void()>& work) {
  GapMeter gaps;
  const auto t0 = std::chrono::steady_clock::now();
  work();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return {seconds, gaps.Longest()};
}

void BackToUser() {
  QEventLoop loop;
  QTimer::singleShot(1, &loop, &QEventLoop::quit);
  loop.exec();
}

int ItemsOrMillion(int usual) { return MillionRequested() ? 1000000 : usual; }

}  // namespace bench

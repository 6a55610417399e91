// Compacting a collection of 100,000 items (a third of them deleted) as
// both catalogue windows do it, in place through the engine's journal,
// against two floors on copies of the same file: the engine's in-place
// VACUUM alone, and a compacted copy (VACUUM INTO) moved over the file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/BenchSupport.h"
#include "core/Compaction.h"
#include "core/Schema.h"

namespace {

constexpr int kItems = 100000;

std::filesystem::path PrepareFolder() {
  std::filesystem::path dir = bench::MakeDataFolder("tvncompactbench");
  tvn::schema::CreateCollectionFile((dir / "source.mdb").string());
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "source.mdb").string());
  db->BeginTrans();
  bench::AddItems(db, kItems, [](dao::Recordset& rs, int) { rs.SetField("notes", "Some notes about the item"); });
  db->CommitTrans();
  db->Execute("delete * from mediadata where SectionNumber in (1, 4, 7)");
  db->Close();
  return dir;
}

struct Fixture {
  std::filesystem::path dir;
  Fixture() {
    static int argc = 1;
    static char name[] = "compaction_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = PrepareFolder();
  }
  ~Fixture() { bench::RemoveDataFolder(dir); }
  // A fresh copy of the uncompacted file, made outside the timing.
  std::string Fresh(benchmark::State& state) {
    state.PauseTiming();
    const auto file = dir / "bench.mdb";
    std::filesystem::copy_file(dir / "source.mdb", file, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(dir / "copy.mdb");
    state.ResumeTiming();
    return file.string();
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void Raw(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(message);
  }
  sqlite3_close(db);
}

void BM_CompactCollection(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    const std::string file = f.Fresh(state);
    if (tvn::CompactInPlace(file) != tvn::CompactionResult::Compacted) state.SkipWithError("not compacted");
  }
}
BENCHMARK(BM_CompactCollection)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FloorInPlaceVacuum(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) Raw(f.Fresh(state), "VACUUM");
}
BENCHMARK(BM_FloorInPlaceVacuum)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FloorVacuumIntoAndRename(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    const std::string file = f.Fresh(state);
    const std::string copy = (f.dir / "copy.mdb").string();
    Raw(file, "VACUUM INTO '" + copy + "'");
    std::filesystem::rename(copy, file);
  }
}
BENCHMARK(BM_FloorVacuumIntoAndRename)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

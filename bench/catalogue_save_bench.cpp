// Filing a record in a section of about 11,000 items: the row, its lookup
// rows, and the refreshes that follow (title list, letter bar, lookup
// combos), beside the raw SQLite statements that store the same row.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "catalogue/CatalogueHooks.h"
#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

constexpr int kItems = 100000;  // about 11,000 per section

struct SaveFixture {
  std::filesystem::path dir;
  dao::DatabasePtr db;
  std::unique_ptr<tvn::NewMain_Form> window;
  sqlite3* raw = nullptr;

  SaveFixture() {
    static int argc = 1;
    static char name[] = "catalogue_save_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = bench::MakeDataFolder("tvnsavebench");
    tvn::schema::CreateCollectionFile((dir / "save.mdb").string());

    db = dao::DBEngine::Workspaces(0).OpenDatabase("save.mdb");
    db->BeginTrans();
    bench::AddItems(db, kItems);
    for (int a = 0; a < 500; ++a)
      db->Execute("insert into artists (artist_name, cd, vt) values ('Artist " + std::to_string(a) + "', true, true)");
    for (int c = 0; c < 40; ++c)
      db->Execute("insert into category (category, cd, vt) values ('Category " + std::to_string(c) + "', true, true)");
    db->CommitTrans();

    tvn::AVData()->CurCollection("Bench");
    tvn::App().CollectionDB = db;
    auto& hooks = tvn::CatalogueHooks::Get();
    hooks.showHelpTopic = [](int) {};
    hooks.windowLoaded = [](tvn::NewMain_Form*) {};
    hooks.windowUnloading = [](tvn::NewMain_Form*) {};
    window = std::make_unique<tvn::NewMain_Form>();
    window->menuAutoSpell->setChecked(true);
    window->ItemClickProcess(6);
    sqlite3_open_v2((dir / "save.mdb").c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~SaveFixture() {
    window.reset();
    sqlite3_close(raw);
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

SaveFixture& S() {
  static SaveFixture f;
  tvn::App().CollectionDB = f.db;
  return f;
}

// Changes the shown video tape and files it: an edit with a rename, so the
// unique-name check, the lookup upkeep and every refresh run.
void BM_SaveRecord(benchmark::State& state) {
  auto& w = *S().window;
  w.ItemClickProcess(6);
  int n = 0;
  for (auto _ : state) {
    w.Video_Name_Text->setText(QString("Saved %1").arg(n++ % 2));
    w.Artist[0]->setEditText("Artist 7");
    w.CD_Category_List->setEditText("Category 3");
    w.CD_Notes_Text->setPlainText("Notes " + QString::number(n));
    w.Toolbar1_ButtonClick(3);
  }
}
BENCHMARK(BM_SaveRecord)->Unit(benchmark::kMillisecond);

// Adding a new record each time.
void BM_AddRecord(benchmark::State& state) {
  auto& w = *S().window;
  w.ItemClickProcess(6);
  int n = 0;
  for (auto _ : state) {
    w.Toolbar1_ButtonClick(1);
    w.Video_Name_Text->setText(QString("Added %1").arg(n++));
    w.Artist[0]->setEditText("Artist 9");
    w.Toolbar1_ButtonClick(3);
  }
}
BENCHMARK(BM_AddRecord)->Unit(benchmark::kMillisecond);

void BM_SaveRecordRawSQLite(benchmark::State& state) {
  sqlite3* raw = S().raw;
  int n = 0;
  for (auto _ : state) {
    const std::string name = "Raw " + std::to_string(n++);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, ("insert into mediadata (name, sectionnumber, section) values ('" + name + "', 6, 'Video Tape')").c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "update artists set vt = 1 where artist_name = 'Artist 9'", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
  }
}
BENCHMARK(BM_SaveRecordRawSQLite)->Unit(benchmark::kMillisecond);

}  // namespace

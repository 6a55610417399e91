// Filing a record through the media window at 10,000 and 100,000 items
// (about 1,100 and 11,000 in the section shown), with the refreshes that
// follow (title list, letter bar, lookup combos; quick display closed),
// beside the floor: one row committed by raw SQLite on a file of the same
// size, in the same run. The window's cost must not grow with the
// collection: it puts the one name in place instead of reading the section.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include <sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "catalogue/CatalogueHooks.h"
#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

struct SaveFixture {
  std::filesystem::path dir;
  dao::DatabasePtr db;
  std::unique_ptr<tvn::NewMain_Form> window;
  sqlite3* raw = nullptr;

  explicit SaveFixture(int items) {
    static int argc = 1;
    static char name[] = "catalogue_save_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = bench::MakeDataFolder("tvnsavebench");
    const std::string file = (dir / "save.mdb").string();
    tvn::schema::CreateCollectionFile(file);

    db = dao::DBEngine::Workspaces(0).OpenDatabase(file);
    db->BeginTrans();
    bench::AddItems(db, items);
    for (int a = 0; a < 500; ++a)
      db->Execute("insert into artists (artist_name, cd, vt) values ('Artist " + std::to_string(a) + "', true, true)");
    for (int c = 0; c < 40; ++c)
      db->Execute("insert into category (category, cd, vt) values ('Category " + std::to_string(c) + "', true, true)");
    db->CommitTrans();
    raw = bench::OpenFloorCopy(file);

    tvn::AVData()->CurCollection("Bench");
    tvn::App().CollectionDB = db;
    auto& hooks = tvn::CatalogueHooks::Get();
    hooks.showHelpTopic = [](int) {};
    hooks.windowLoaded = [](tvn::NewMain_Form*) {};
    hooks.windowUnloading = [](tvn::NewMain_Form*) {};
    window = std::make_unique<tvn::NewMain_Form>();
    window->menuAutoSpell->setChecked(true);
    window->ItemClickProcess(6);
  }
  ~SaveFixture() {
    window.reset();
    sqlite3_close(raw);
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

SaveFixture& S(int items) {
  static std::map<int, std::unique_ptr<SaveFixture>> fixtures;
  auto& f = fixtures[items];
  if (!f) f = std::make_unique<SaveFixture>(items);
  tvn::App().CollectionDB = f->db;
  return *f;
}

// Changes the shown video tape and files it: an edit with a rename, so the
// unique-name check, the lookup upkeep, the move in the title list and
// every refresh run.
void BM_SaveRecord(benchmark::State& state, int items) {
  auto& w = *S(items).window;
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

// Adding a new record each time.
void BM_AddRecord(benchmark::State& state, int items) {
  auto& w = *S(items).window;
  w.ItemClickProcess(6);
  int n = 0;
  for (auto _ : state) {
    w.Toolbar1_ButtonClick(1);
    w.Video_Name_Text->setText(QString("Added %1").arg(n++));
    w.Artist[0]->setEditText("Artist 9");
    w.Toolbar1_ButtonClick(3);
  }
}

// The floor: one row and one lookup flag committed by raw SQLite, with the
// engine's own durability, as the window's filing commits them.
void BM_SaveRecordRawSQLite(benchmark::State& state, int items) {
  sqlite3* raw = S(items).raw;
  int n = 0;
  for (auto _ : state)
    bench::CommitRaw(raw, {"insert into mediadata (name, sectionnumber, section) values ('Raw " +
                               std::to_string(n++) + "', 6, 'Video Tape')",
                           "update artists set vt = 1 where artist_name = 'Artist 9'"});
}

BENCHMARK_CAPTURE(BM_SaveRecordRawSQLite, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveRecord, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddRecord, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveRecordRawSQLite, 100k, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveRecord, 100k, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddRecord, 100k, 100000)->Unit(benchmark::kMillisecond);

}  // namespace

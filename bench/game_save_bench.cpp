// Filing a game in a collection of 50,000 games: an edit with a rename,
// and an add with a new publisher; each with its unique-name test, lookup
// upkeep and link rewrite, in one transaction.
//
// Then the same through the game window at 10,000 and 100,000 games
// (about 1,700 and 17,000 in the section shown), with the refreshes that
// follow (title list, letter bar; quick display closed), beside the floor:
// one row committed by raw SQLite on a file of the same size, in the same
// run. The window's cost must not grow with the collection.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "games/PLGameStore.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "games/avplDataclass.h"
#include "platform/dao/Dao.h"

namespace {

constexpr int kGames = 50000;

struct GameSaveFixture {
  std::filesystem::path dir;
  dao::DatabasePtr db;
  avplDataclass state;

  GameSaveFixture() {
    dir = bench::MakeDataFolder("tvngamesave");
    bench::MakeGameCollection((dir / "MyGames.mdb").string(), kGames);
    db = dao::DBEngine::Workspaces(0).OpenDatabase("MyGames.mdb");
    state.SectionNumber = 3;
    state.PSOn = true;
  }
  ~GameSaveFixture() {
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

GameSaveFixture& G() {
  static GameSaveFixture f;
  return f;
}

void Links(dao::Database& db, long n) {
  pl::RewriteLinks(db, pl::LinkList::SystemTypes, n, {1, 2, 3});
  pl::RewriteLinks(db, pl::LinkList::Supports, n, {4, 5});
}

void BM_GameSaveEdit(benchmark::State& state) {
  auto& g = G();
  pl::GameFields f;
  f.Publisher = "Publisher 9";
  f.Developer = "Developer 9";
  f.Genre = "Genre 9";
  int n = 0;
  for (auto _ : state) {
    f.Name = "Game " + std::to_string(n++ % 2);
    f.Notes = "Notes " + std::to_string(n);
    pl::StoreGame(*g.db, g.state, f, 3, [&g](long s) { Links(*g.db, s); });
  }
}
BENCHMARK(BM_GameSaveEdit)->Unit(benchmark::kMillisecond);

void BM_GameSaveAdd(benchmark::State& state) {
  auto& g = G();
  pl::GameFields f;
  f.Developer = "Developer 9";
  int n = 0;
  for (auto _ : state) {
    f.Name = "Added";  // a taken name: the number grows with each add
    f.Publisher = "New Publisher " + std::to_string(n++);
    pl::StoreGame(*g.db, g.state, f, 0, [&g](long s) { Links(*g.db, s); });
  }
}
BENCHMARK(BM_GameSaveAdd)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_GameDelete(benchmark::State& state) {
  auto& g = G();
  long next = 10;
  for (auto _ : state) {
    pl::DeleteGame(*g.db, next);
    next += 6;
  }
}
BENCHMARK(BM_GameDelete)->Unit(benchmark::kMillisecond)->Iterations(200);

// ---------------------------------------------------------------- the game window

struct GameWindowSaveFixture {
  int games;
  std::filesystem::path dir;
  dao::DatabasePtr db;
  std::unique_ptr<pl::PLMain_Form> window;
  sqlite3* raw = nullptr;

  explicit GameWindowSaveFixture(int n) : games(n) {
    static int argc = 1;
    static char name[] = "game_save_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = bench::MakeDataFolder("tvngamewinsave");
    const std::string file = (dir / "MyGames.mdb").string();
    bench::MakeGameCollection(file, games);
    raw = bench::OpenFloorCopy(file);
    pl::PLGlobals& g = pl::PL();
    g.Workspace = &dao::DBEngine::Workspaces(0);
    db = g.Workspace->OpenDatabase(file);
    Use();
    window = std::make_unique<pl::PLMain_Form>();
    Section(3);
  }
  ~GameWindowSaveFixture() {
    window.reset();
    sqlite3_close(raw);
    db->Close();
    bench::RemoveDataFolder(dir);
  }
  // The library's globals point at this collection.
  void Use() {
    pl::PL().GameDB = db;
    avplDataclass& d = pl::PLData();
    d.APath = dir.string();
    d.LastDB = "MyGames.mdb";
    d.CurCollection = "Bench";
  }
  void Section(int n) {
    std::uint8_t s = std::uint8_t(n);
    window->ItemClickProcessPL(s);
  }
};

GameWindowSaveFixture& W(int games) {
  // One collection at a time: the library's globals name one game database.
  static std::unique_ptr<GameWindowSaveFixture> f;
  if (!f || f->games != games) {
    f.reset();
    f = std::make_unique<GameWindowSaveFixture>(games);
  }
  f->Use();
  return *f;
}

// The game on show renamed and filed through the toolbar's File.
void BM_GameWindowSave(benchmark::State& state, int games) {
  auto& f = W(games);
  f.Section(3);
  int n = 0;
  for (auto _ : state) {
    f.window->txtName->setText(QString("Saved %1").arg(n++ % 2));
    f.window->txtNotes->setPlainText(QString("Edited %1").arg(n));
    f.window->Toolbar1_ButtonClick(3);
  }
}

// A new game each time.
void BM_GameWindowAdd(benchmark::State& state, int games) {
  auto& f = W(games);
  f.Section(3);
  int n = 0;
  for (auto _ : state) {
    f.window->Toolbar1_ButtonClick(1);
    f.window->txtName->setText(QString("Added %1").arg(n++));
    f.window->Toolbar1_ButtonClick(3);
  }
}

// The floor: one game row committed by raw SQLite with the engine's own durability.
void BM_GameSaveRawSQLite(benchmark::State& state, int games) {
  sqlite3* raw = W(games).raw;
  int n = 0;
  for (auto _ : state)
    bench::CommitRaw(raw, {"insert into mediadata (name, sectionnumber) values ('Raw " + std::to_string(n++) + "', 3)"});
}

BENCHMARK_CAPTURE(BM_GameSaveRawSQLite, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameWindowSave, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameWindowAdd, 10k, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameSaveRawSQLite, 100k, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameWindowSave, 100k, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameWindowAdd, 100k, 100000)->Unit(benchmark::kMillisecond);

}  // namespace

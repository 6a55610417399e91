// The game catalogue's lists on collections of 10,000 and 100,000 games
// (and 1,000,000 with TVN_BENCH_MILLION=1): the quick display opened (its
// first screen of rows), beside the floor, the raw SQLite query that reads
// every listed game in the listing order; its first sort of a column and a
// Quick Jump with their longest event-loop gaps, beside raw SQLite sorting
// the same column; and a lookup editor's rename and delete of a
// genre that 5,000 of 100,000 games use.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/QuickDisplayBench.h"
#include "games/PLLookupEditors.h"
#include "games/PLModule.h"
#include "games/PLQDForm.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Prompter.h"

namespace {

constexpr int kEditorGames = 100000;
constexpr int kGenreGames = 5000;

QApplication& BenchQtApp() {
  static int argc = 1;
  static char name[] = "game_lists_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

struct GameLists {
  std::filesystem::path dir;
  mutable dao::DatabasePtr db;
  explicit GameLists(int games) {
    // The library state outlives this collection (statics end in reverse
    // order of their making), so the destructor can still close it.
    pl::PL();
    pl::PLData();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    BenchQtApp();
    dir = bench::MakeDataFolder("tvngamelists");
    bench::MakeGameCollection((dir / "MyGames.mdb").string(), games);
  }
  // Makes this collection the game library's open collection (another
  // benchmark may have opened its own in between).
  void Use() const {
    ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
    std::filesystem::current_path(dir);
    pl::PLGlobals& g = pl::PL();
    g.Workspace = &dao::DBEngine::Workspaces(0);
    pl::PLData().APath = dir.string();
    pl::PLData().LastDB = "MyGames.mdb";
    if (!db || !db->IsOpen()) db = g.Workspace->OpenDatabase((dir / "MyGames.mdb").string());
    g.GameDB = db;
  }
  ~GameLists() {
    pl::PLGlobals& g = pl::PL();
    if (g.GameDB == db) g.GameDB.reset();
    if (db && db->IsOpen()) db->Close();
    bench::RemoveDataFolder(dir);
  }
};

const GameLists& Lists(int games) {
  // The library state is made first, so that it outlives the collections.
  pl::PL();
  pl::PLData();
  static std::map<int, std::unique_ptr<GameLists>> made;
  auto& lists = made[games];
  if (!lists) lists = std::make_unique<GameLists>(games);
  lists->Use();
  return *lists;
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(100000);
  if (const char* m = std::getenv("TVN_BENCH_MILLION"); m && *m == '1') b->Arg(1000000);
}

// The floor: every listed game with its lookup names, in the listing
// order, by raw SQLite.
void BM_GameQuickDisplayFloor(benchmark::State& state) {
  const GameLists& lists = Lists(int(state.range(0)));
  bench::ReadAllRaw(state, lists.dir / "MyGames.mdb",
                    "SELECT m.sectionnumber, m.name, m.date_aquired, d.artist_name, g.category, p.labelstudio_name, "
                    "s.name FROM mediadata m LEFT JOIN developer d ON m.developer = d.developer LEFT JOIN genre g "
                    "ON m.genre = g.genre LEFT JOIN publisher p ON m.publisher = p.publisher LEFT JOIN sections s "
                    "ON m.sectionnumber = s.section ORDER BY s.name, m.name COLLATE NOCASE");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GameQuickDisplayFloor)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening: the window loaded, shown and its first screen of rows painted.
void BM_GameQuickDisplayOpen(benchmark::State& state) {
  Lists(int(state.range(0)));
  bench::TimeOpening<pl::PLQDForm>(state, "game open " + std::to_string(state.range(0)));
}
BENCHMARK(BM_GameQuickDisplayOpen)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floors of a sort and of a jump: raw SQLite sorting the publishers
// (with their names) and the names of every game.
void BM_GameQuickDisplaySortFloor(benchmark::State& state) {
  const GameLists& lists = Lists(int(state.range(0)));
  bench::ReadAllRaw(state, lists.dir / "MyGames.mdb",
                    "SELECT m._rowid_, p.labelstudio_name FROM mediadata m LEFT JOIN publisher p "
                    "ON m.publisher = p.publisher ORDER BY p.labelstudio_name COLLATE NOCASE");
}
BENCHMARK(BM_GameQuickDisplaySortFloor)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GameQuickDisplayJumpFloor(benchmark::State& state) {
  const GameLists& lists = Lists(int(state.range(0)));
  bench::ReadAllRaw(state, lists.dir / "MyGames.mdb", "SELECT _rowid_, name FROM mediadata ORDER BY name COLLATE NOCASE");
}
BENCHMARK(BM_GameQuickDisplayJumpFloor)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GameQuickDisplaySortColumn(benchmark::State& state) {
  Lists(int(state.range(0)));
  bench::TimeOnFreshWindow<pl::PLQDForm>(
      state, "game sort " + std::to_string(state.range(0)),
      [](pl::PLQDForm& f) { f.QDGrid->SetCol(pl::PLQDForm::colPublisher); }, [](pl::PLQDForm& f) { f.menuA_Click(); });
}
BENCHMARK(BM_GameQuickDisplaySortColumn)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GameQuickDisplayJump(benchmark::State& state) {
  Lists(int(state.range(0)));
  bench::TimeOnFreshWindow<pl::PLQDForm>(
      state, "game jump " + std::to_string(state.range(0)),
      [](pl::PLQDForm& f) {
        f.srchOption[2]->setChecked(true);
        f.srchOption_Click(2);
        f.txtSearch->setText("Game 99");
      },
      [](pl::PLQDForm& f) { f.QuickJumpSearch(); });
}
BENCHMARK(BM_GameQuickDisplayJump)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

// A genre of its own on the first kGenreGames games, shown in the editor.
void PrepareGenre(dao::Database& db, const std::string& name) {
  db.Execute("insert into genre (category, PSOn) values (" + dao::SqlQuote(name) + ", true)");
  const std::string key = "(select max(genre) from genre)";
  db.Execute("update mediadata set genre = " + key + " where systemnumber <= " + std::to_string(kGenreGames));
}

void BM_GameEditorRename(benchmark::State& state) {
  Lists(kEditorGames);
  dao::Database& db = *pl::PL().GameDB;
  PrepareGenre(db, "AAA Genre");
  pl::GenreForm form;
  form.Form_Load();
  form.show();
  int n = 0;
  for (auto _ : state) {
    form.Category_Text->setText(QString::fromStdString("AAA Genre " + std::to_string(++n)));
    form.Toolbar1_ButtonClick(tvn::LookupEditorForm::btnFile);
  }
}
BENCHMARK(BM_GameEditorRename)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GameEditorDelete(benchmark::State& state) {
  Lists(kEditorGames);
  dao::Database& db = *pl::PL().GameDB;
  for (auto _ : state) {
    state.PauseTiming();
    PrepareGenre(db, "AAA Doomed");
    pl::GenreForm form;
    form.Form_Load();
    vb::PromptScript::Answer(vb::vbYes);
    state.ResumeTiming();
    form.Toolbar1_ButtonClick(tvn::LookupEditorForm::btnDelete);
    state.PauseTiming();
    vb::PromptScript::Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GameEditorDelete)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The game catalogue's lists on a collection of 50,000 games: the quick
// display opened (every game in its grid) and sorted by a column, and a
// lookup editor's rename and delete of a genre that 5,000 games use.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "games/PLLookupEditors.h"
#include "games/PLModule.h"
#include "games/PLQDForm.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Prompter.h"

namespace {

constexpr int kGames = 50000;
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
  GameLists() {
    // The library state outlives this collection (statics end in reverse
    // order of their making), so the destructor can still close it.
    pl::PL();
    pl::PLData();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    BenchQtApp();
    dir = bench::MakeDataFolder("tvngamelists");
    bench::MakeGameCollection((dir / "MyGames.mdb").string(), kGames);
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
    if (!g.GameDB || !g.GameDB->IsOpen()) g.GameDB = g.Workspace->OpenDatabase((dir / "MyGames.mdb").string());
  }
  ~GameLists() {
    pl::PLGlobals& g = pl::PL();
    if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
    g.GameDB.reset();
    bench::RemoveDataFolder(dir);
  }
};

const GameLists& Lists() {
  static const GameLists lists;
  lists.Use();
  return lists;
}

void BM_GameQuickDisplayOpen(benchmark::State& state) {
  Lists();
  for (auto _ : state) {
    auto form = std::make_unique<pl::PLQDForm>();
    form->Form_Load();
    benchmark::DoNotOptimize(form->QDGrid->Rows());
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kGames);
}
BENCHMARK(BM_GameQuickDisplayOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GameQuickDisplaySortColumn(benchmark::State& state) {
  Lists();
  pl::PLQDForm form;
  form.Form_Load();
  form.show();
  form.QDGrid->SetCol(pl::PLQDForm::colPublisher);
  bool ascending = true;
  for (auto _ : state) {
    if (ascending) form.menuA_Click();
    else form.menuD_Click();
    ascending = !ascending;
  }
  state.SetItemsProcessed(state.iterations() * kGames);
}
BENCHMARK(BM_GameQuickDisplaySortColumn)->Unit(benchmark::kMillisecond)->Iterations(6);

// A genre of its own on the first kGenreGames games, shown in the editor.
void PrepareGenre(dao::Database& db, const std::string& name) {
  db.Execute("insert into genre (category, PSOn) values (" + dao::SqlQuote(name) + ", true)");
  const std::string key = "(select max(genre) from genre)";
  db.Execute("update mediadata set genre = " + key + " where systemnumber <= " + std::to_string(kGenreGames));
}

void BM_GameEditorRename(benchmark::State& state) {
  Lists();
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
  Lists();
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

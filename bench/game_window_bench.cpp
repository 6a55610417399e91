// The game window on a collection of 50,000 games (about 8,300 per
// console section): choosing a section, choosing a letter, stepping to
// the next game, and filing the game on show and a new one through the
// window, each with the refreshes the window makes after it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"

namespace {

constexpr int kGames = 50000;

struct GameWindowFixture {
  std::filesystem::path dir;
  std::unique_ptr<pl::PLMain_Form> window;

  GameWindowFixture() {
    static int argc = 1;
    static char name[] = "game_window_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = bench::MakeDataFolder("tvngamewin");
    bench::MakeGameCollection((dir / "MyGames.mdb").string(), kGames);
    pl::PLGlobals& g = pl::PL();
    g.Workspace = &dao::DBEngine::Workspaces(0);
    avplDataclass& d = pl::PLData();
    d.APath = dir.string();
    d.LastDB = "MyGames.mdb";
    d.CurCollection = "Bench";
    g.GameDB = g.Workspace->OpenDatabase((dir / "MyGames.mdb").string());
    window = std::make_unique<pl::PLMain_Form>();
    Section(3);
  }
  ~GameWindowFixture() {
    window.reset();
    pl::PL().GameDB->Close();
    pl::PL().GameDB.reset();
    bench::RemoveDataFolder(dir);
  }
  void Section(int n) {
    std::uint8_t s = std::uint8_t(n);
    window->ItemClickProcessPL(s);
  }
};

GameWindowFixture& F() {
  static GameWindowFixture f;
  return f;
}

bench::BestTimes& Times() {
  static bench::BestTimes times;
  return times;
}

void BM_GameSectionChoice(benchmark::State& state) {
  auto& f = F();
  int section = 3;
  Times().Timed(state, "section", [&] {
    section = section == 3 ? 5 : 3;
    f.Section(section);
  });
}
BENCHMARK(BM_GameSectionChoice)->Unit(benchmark::kMillisecond);

void BM_GameLetterChoice(benchmark::State& state) {
  auto& f = F();
  f.Section(3);
  int letter = 0;
  Times().Timed(state, "letter", [&] {
    f.window->Toolbar2_ButtonClick(3 * letter + 1);
    letter = (letter + 5) % 26;
  });
}
BENCHMARK(BM_GameLetterChoice)->Unit(benchmark::kMillisecond);

void BM_GameNextRecord(benchmark::State& state) {
  auto& f = F();
  f.Section(3);
  Times().Timed(state, "next", [&] { f.window->Toolbar1_ButtonClick(6); });
}
BENCHMARK(BM_GameNextRecord)->Unit(benchmark::kMillisecond);

void BM_GameSaveEdited(benchmark::State& state) {
  auto& f = F();
  f.Section(3);
  f.window->Toolbar1_ButtonClick(6);
  int n = 0;
  Times().Timed(state, "save edit", [&] {
    f.window->txtNotes->setPlainText(QString("Edited %1").arg(n++));
    f.window->SaveRecord();
  });
}
BENCHMARK(BM_GameSaveEdited)->Unit(benchmark::kMillisecond);

void BM_GameSaveAdded(benchmark::State& state) {
  auto& f = F();
  f.Section(3);
  int n = 0;
  Times().Timed(state, "save add", [&] {
    f.window->Toolbar1_ButtonClick(1);
    f.window->txtName->setText(QString("Zz added %1").arg(n++));
    f.window->SaveRecord();
  });
}
BENCHMARK(BM_GameSaveAdded)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_GameWindowSummary(benchmark::State& state) {
  for (auto _ : state) {
  }
  const auto& t = Times();
  std::printf("\nGame window on %d games (best of each):\n", kGames);
  const char* rows[][2] = {{"section", "choosing a section"},
                           {"letter", "choosing a letter"},
                           {"next", "next game"},
                           {"save edit", "filing the game on show"},
                           {"save add", "filing a new game"}};
  for (const auto& r : rows)
    std::printf("  %-34s %8.1f ms  (target < 50 ms)\n", r[1], t.Get(r[0]) * 1000.0);
}
BENCHMARK(BM_GameWindowSummary)->Iterations(1);

}  // namespace

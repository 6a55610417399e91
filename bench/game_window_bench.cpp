// The game window on a collection of 50,000 games (about 8,300 per
// console section; 1,000,000 games with TVN_BENCH_MILLION=1): choosing a
// section, choosing a letter, stepping to the next game, and filing the
// game on show and a new one through the window, each with the refreshes
// the window makes after it. Section, letter and next game are timed until
// the window waits for the user again, with the longest time the event
// loop stood still.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

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
#include "platform/runtime/Busy.h"

namespace {

const int kGames = bench::ItemsOrMillion(50000);

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

// The program lets go of its reads whenever it waits for the user (so
// that other programs can write to the file); "held" measures the same
// steps with the reads kept from one step to the next, as before.
std::string Variant(benchmark::State& state, const std::string& name) {
  const bool release = state.range(0) != 0;
  vb::BusyScope::InstallEventLoopHooks(release ? std::function<void()>([] { dao::DBEngine::ReleaseReads(); })
                                               : std::function<void()>());
  return name + (release ? "" : " held");
}

void BM_GameSectionChoice(benchmark::State& state) {
  auto& f = F();
  int section = 3;
  Times().TimedGap(state, Variant(state, "section"), [&] {
    section = section == 3 ? 5 : 3;
    f.Section(section);
    bench::BackToUser();
  });
}
BENCHMARK(BM_GameSectionChoice)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The floor of choosing a section: what the window shows of it, read
// straight from the file through its (section, name) index: whether each
// letter has a game, the titles beginning with anything but a letter, the
// names of the first letter's games and the first game's row.
void BM_GameSectionChoiceRawSQLite(benchmark::State& state) {
  auto& f = F();
  sqlite3* raw = nullptr;
  sqlite3_open_v2((f.dir / "MyGames.mdb").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  auto read = [raw](const std::string& sql, bool all) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(st); ++c) benchmark::DoNotOptimize(sqlite3_column_text(st, c));
      if (!all) break;
    }
    sqlite3_finalize(st);
  };
  int section = 3;
  Times().Timed(state, "section floor", [&] {
    section = section == 3 ? 5 : 3;
    const std::string where = " from mediadata where sectionnumber = " + std::to_string(section);
    for (char l = 'A'; l <= 'Z'; ++l)
      read("select 1" + where + " and name >= '" + l + "' and name < '" + (l == 'Z' ? '{' : char(l + 1)) + "'",
           false);
    read("select name, _rowid_" + where + " and (name < 'A' or name >= '{' or name is null)", true);
    read("select name, _rowid_" + where + " and name >= 'A' and name < 'B'", true);
    read("select *" + where + " order by name limit 1", false);
  });
  sqlite3_close(raw);
}
BENCHMARK(BM_GameSectionChoiceRawSQLite)->Unit(benchmark::kMillisecond);

void BM_GameLetterChoice(benchmark::State& state) {
  auto& f = F();
  const std::string name = Variant(state, "letter");
  f.Section(3);
  int letter = 0;
  bench::BackToUser();
  Times().TimedGap(state, name, [&] {
    f.window->Toolbar2_ButtonClick(3 * letter + 1);
    bench::BackToUser();
    letter = (letter + 5) % 26;
  });
}
BENCHMARK(BM_GameLetterChoice)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_GameNextRecord(benchmark::State& state) {
  auto& f = F();
  const std::string name = Variant(state, "next");
  f.Section(3);
  bench::BackToUser();
  Times().TimedGap(state, name, [&] {
    f.window->Toolbar1_ButtonClick(6);
    bench::BackToUser();
  });
}
BENCHMARK(BM_GameNextRecord)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

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
                           {"section floor", "a section's letters, first titles, raw"},
                           {"letter", "choosing a letter"},
                           {"next", "next game"},
                           {"section held", "choosing a section, reads held"},
                           {"letter held", "choosing a letter, reads held"},
                           {"next held", "next game, reads held"},
                           {"save edit", "filing the game on show"},
                           {"save add", "filing a new game"}};
  for (const auto& r : rows) {
    std::printf("  %-34s %8.1f ms  (target < 50 ms)", r[1], t.Get(r[0]) * 1000.0);
    if (t.Get(std::string(r[0]) + " gap") > 0) std::printf("  gap %7.1f ms", t.Get(std::string(r[0]) + " gap") * 1000.0);
    std::printf("\n");
  }
}
BENCHMARK(BM_GameWindowSummary)->Iterations(1);

}  // namespace

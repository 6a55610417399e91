// The full game report on a collection of 10,000 games: the one-line table
// read, joined and laid out, then written as PDF.
// Targets: laid out under 1.5 s, PDF under 3 s.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/BenchSupport.h"
#include "core/Schema.h"
#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "platform/dao/Dao.h"
#include "platform/print/Printer.h"

namespace {

constexpr int kGames = 10000;

void GameApp() {
  static int argc = 1;
  static char name[] = "game_report_bench";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!qApp) new QApplication(argc, argv);
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path dir = bench::MakeDataFolder("tvngamebench");
  return dir;
}

// A collection of kGames games over 200 publishers, 150 developers and
// 40 genres, every one marked.
dao::DatabasePtr Collection() {
  static dao::DatabasePtr db;
  if (db) return db;
  const std::string file = (Folder() / "games.mdb").string();
  tvn::schema::CreateGameCollectionFile(file);
  db = dao::DBEngine::Workspaces(0).OpenDatabase(file);
  db->BeginTrans();
  for (int i = 1; i <= 200; ++i)
    db->Execute("insert into publisher (labelstudio_name) values ('Publisher " + std::to_string(i) + "')");
  for (int i = 1; i <= 150; ++i)
    db->Execute("insert into developer (artist_name) values ('Developer " + std::to_string(i) + "')");
  for (int i = 1; i <= 40; ++i) db->Execute("insert into genre (category) values ('Genre " + std::to_string(i) + "')");
  for (int i = 0; i < kGames; ++i)
    db->Execute("insert into mediadata (name, sectionnumber, publisher, developer, genre) values ('Game " +
                std::to_string(i) + "', " + std::to_string(1 + i % 6) + ", " + std::to_string(1 + i % 200) + ", " +
                std::to_string(1 + i % 150) + ", " + std::to_string(1 + i % 40) + ")");
  db->CommitTrans();
  pl::MarkGameRecords(*db, {});
  auto& m = pl::GameReports();
  m.ReportDatabase = db;
  m.ReportAppFolder = Folder().string();
  m.ReportType = pl::kFullGameReport;
  return db;
}

double best_layout = 0, best_pdf = 0;
int pages = 0;

void Keep(double& best, double s) {
  if (best == 0 || s < best) best = s;
}

void BM_GameReportOneLine(benchmark::State& state) {
  GameApp();
  Collection();
  pl::FullGameReportOptions options;
  options.oneLine = true;
  for (auto _ : state) {
    print::Printer p;
    const auto t0 = std::chrono::steady_clock::now();
    pl::PrintFullGameReport(p, options);
    Keep(best_layout, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    pages = p.PageCount();
  }
}
BENCHMARK(BM_GameReportOneLine)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GameReportPdf(benchmark::State& state) {
  GameApp();
  Collection();
  pl::FullGameReportOptions options;
  options.oneLine = true;
  print::Printer p;
  pl::PrintFullGameReport(p, options);
  const std::string file = (Folder() / "games.pdf").string();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (!p.WritePdf(file)) state.SkipWithError("PDF not written");
    Keep(best_pdf, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
}
BENCHMARK(BM_GameReportPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GameReportSummary(benchmark::State& state) {
  for (auto _ : state) {
  }
  std::printf("\nFull game report, one line a game, %d games (%d pages):\n", kGames, pages);
  std::printf("  %-26s %8.3f s  (target < 1.5 s)\n", "laid out", best_layout);
  std::printf("  %-26s %8.3f s  (target < 3 s)\n", "PDF", best_pdf);
  std::fflush(stdout);
  pl::GameReports().ReportDatabase.reset();
  Collection()->Close();
  bench::RemoveDataFolder(Folder());
}
BENCHMARK(BM_GameReportSummary)->Iterations(1);

}  // namespace

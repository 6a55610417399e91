// The media reports on a collection of 100,000 items: the wizard's
// selection for a general report of every section, and the standard
// report of 10,000 and of 100,000 marked records in the one-line layout,
// laid out and written as PDF and as HTML. The summary at the end gives
// the times against their targets: selection under 1 s, 10,000 records
// laid out under 1.5 s and to PDF under 3 s, 100,000 records at most 12
// times the 10,000-record time.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "core/Schema.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/StandardReport.h"

namespace {

constexpr int kItems = 100000;

struct Fixture {
  std::filesystem::path dir;
  dao::DatabasePtr db;

  Fixture() {
    static int argc = 1;
    static char name[] = "report_bench";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!qApp) new QApplication(argc, argv);
    dir = bench::MakeDataFolder("tvnrptbench");
    const std::string file = (dir / "big.mdb").string();
    tvn::schema::CreateCollectionFile(file);
    db = dao::DBEngine::Workspaces(0).OpenDatabase(file);
    db->BeginTrans();
    // The marks below pick records by their number of sides.
    bench::AddItems(db, kItems, [](dao::Recordset& rs, int i) { rs.SetField("sides", double(i)); });
    db->CommitTrans();
    auto& state = tvn::reports::Module();
    state.ReportDatabase = db;
    state.ReportAppFolder = dir.string();
  }
  ~Fixture() {
    tvn::reports::Module().ReportDatabase.reset();
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

Fixture& F() {
  static Fixture f;
  tvn::reports::Module().ReportDatabase = f.db;
  return f;
}

bench::BestTimes& Times() {
  static bench::BestTimes times;
  return times;
}

std::string Suffix(int rows) { return rows == 10000 ? "" : "@" + std::to_string(rows); }

// Marks the first `rows` records, as a selection would.
void Mark(int rows) {
  F().db->Execute("update mediadata set pr1 = (sides < " + std::to_string(rows) + ")");
}

tvn::reports::StandardReportOptions OneLine() {
  tvn::reports::StandardReportOptions options;
  options.oneLine = true;
  return options;
}

// The report of `rows` marked records, laid out once and kept for the outputs.
const print::Printer& Laid(int rows) {
  static std::map<int, std::unique_ptr<print::Printer>> docs;
  auto& p = docs[rows];
  if (!p) {
    Mark(rows);
    p = std::make_unique<print::Printer>();
    tvn::reports::PrintMediaReport(*p, OneLine());
  }
  return *p;
}

void BM_ReportSelectionEverySection(benchmark::State& state) {
  auto& ctx = tvn::reports::Module();
  Fixture& f = F();
  Times().Timed(state, "selection", [&] {
    ctx.SectionList = " 1 2 3 4 5 6 7 8 9 ";
    tvn::reports::MarkWizardSelection(f.db, ctx, true, 0, {});
  });
}
BENCHMARK(BM_ReportSelectionEverySection)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StandardReportLayout(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  F();
  Mark(rows);
  Times().Timed(state, "layout" + Suffix(rows), [&] {
    print::Printer p;
    tvn::reports::PrintMediaReport(p, OneLine());
    benchmark::DoNotOptimize(p.PageCount());
  });
}
BENCHMARK(BM_StandardReportLayout)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StandardReportLayout)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StandardReportPdf(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  F();
  const auto& p = Laid(rows);
  const std::string file = (F().dir / "rpt.pdf").string();
  Times().Timed(state, "pdf" + Suffix(rows), [&] {
    if (!p.WritePdf(file)) state.SkipWithError("PDF not written");
  });
}
BENCHMARK(BM_StandardReportPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StandardReportPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StandardReportHtml(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  F();
  const auto& p = Laid(rows);
  const std::string file = (F().dir / "rpt.htm").string();
  Times().Timed(state, "html" + Suffix(rows), [&] {
    std::string error;
    if (!print::WriteHtml(p.document(), file, &error)) state.SkipWithError(error.c_str());
  });
}
BENCHMARK(BM_StandardReportHtml)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_StandardReportHtml)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ReportSummary(benchmark::State& state) {
  for (auto _ : state) {
  }
  const auto& t = Times();
  std::printf("\nMedia reports on %d items:\n", kItems);
  std::printf("  %-34s %8.3f s  (target < 1 s)\n", "selection, general, every section", t.Get("selection"));
  std::printf("Standard report, one-line layout, 10,000 records (%d pages):\n", Laid(10000).PageCount());
  std::printf("  %-34s %8.3f s  (target < 1.5 s)\n", "laid out", t.Get("layout"));
  std::printf("  %-34s %8.3f s  (target < 3 s)\n", "PDF", t.Get("pdf"));
  std::printf("  %-34s %8.3f s\n", "HTML", t.Get("html"));
  std::printf("100,000 records against 10,000 (target <= 12):\n");
  for (const char* k : {"layout", "pdf", "html"}) {
    const double small = t.Get(k), big = t.Get(std::string(k) + "@100000");
    std::printf("  %-34s %8.3f s  x %.1f\n", k, big, small > 0 ? big / small : 0);
  }
  std::fflush(stdout);
}
BENCHMARK(BM_ReportSummary)->Iterations(1);

}  // namespace

// The report page layer on a table of 10,000 rows of five columns: laying
// it out, writing it as PDF and as HTML, saving and loading it as a report
// document; beside each output its raw floor (QPdfWriter and QPainter
// drawing the same texts at the same places; the same HTML made as one
// string and written), at each size. At the end the times and ratios, and
// the cost of 100,000 rows against 10,000 and, with TVN_BENCH_MILLION=1,
// of 1,000,000 against 100,000; and the longest time the HTML export keeps
// a busy window from turning.
// Targets: PDF at most 1.5 x its floor, HTML at most 3 x, layout under
// 0.5 s, save and load under 0.3 s each, 100,000 rows at most 12 x, each
// size ten times the rows at most 12 x; the window turns at least every
// 250 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/PlainPdf.h"
#include "platform/print/DocumentFile.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Busy.h"

namespace {

void PrintApp() {
  static int argc = 1;
  static char name[] = "print_bench";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!qApp) new QApplication(argc, argv);
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path dir = bench::MakeDataFolder("tvnprintbench");
  return dir;
}

std::string FileIn(const char* name) { return (Folder() / name).string(); }

std::string Cell(int row, int col) {
  switch (col) {
    case 0: return "Item " + std::to_string(row);
    case 1: return "Artist " + std::to_string(row % 997);
    case 2: return "Category " + std::to_string(row % 40);
    case 3: return std::to_string(100000 + row);
    default: return row % 3 ? "Yes" : "No";
  }
}

const char* kFormat = "<1.8in|<1.5in|<1.2in|>1in|^1in";
const char* kHeader = "Name|Artist|Category|Number|Stored";

// Lays the table out as the writers do: one AddTable per row inside a block.
void Layout(print::Printer& p, int rows) {
  p.SetMarginTop(770);
  p.SetMarginBottom(770);
  p.SetHeader("The Tavolin||Page %d");
  p.StartDoc();
  p.StartTable();
  for (int r = 0; r < rows; ++r) {
    std::string row;
    for (int c = 0; c < 5; ++c) row += (c ? "|" : "") + Cell(r, c);
    p.AddTable(kFormat, kHeader, row + ";", 65535, -1, true);
  }
  p.EndTable();
  p.EndDoc();
}

const print::Printer& Laid(int rows) {
  static std::map<int, std::unique_ptr<print::Printer>> docs;
  auto& p = docs[rows];
  if (!p) {
    PrintApp();
    p = std::make_unique<print::Printer>();
    Layout(*p, rows);
  }
  return *p;
}

// Best time of each measure, in seconds.
bench::BestTimes& Times() {
  static bench::BestTimes times;
  return times;
}

template <class F>
void Timed(benchmark::State& state, const std::string& name, F&& work) {
  Times().Timed(state, name, std::forward<F>(work));
}

std::string Suffix(int rows) { return rows == 10000 ? "" : "@" + std::to_string(rows); }

// The million-row runs only when TVN_BENCH_MILLION=1 asks for them.
bool Skipped(benchmark::State& state, int rows) {
  if (rows < 1000000 || bench::MillionRequested()) return false;
  for (auto _ : state) {
  }
  state.SetLabel("set TVN_BENCH_MILLION=1 to run");
  return true;
}

void BM_PrintLayout(benchmark::State& state) {
  PrintApp();
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  Timed(state, "layout" + Suffix(rows), [&] {
    print::Printer p;
    Layout(p, rows);
    benchmark::DoNotOptimize(p.PageCount());
  });
}
BENCHMARK(BM_PrintLayout)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PrintLayout)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PrintLayout)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintPdf(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  const auto& p = Laid(rows);
  Timed(state, "pdf" + Suffix(rows), [&] {
    if (!p.WritePdf(FileIn(("bench" + Suffix(rows) + ".pdf").c_str()))) state.SkipWithError("PDF not written");
  });
}
BENCHMARK(BM_PrintPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same pages written by Qt's writer alone, without the text layer.
void BM_PrintPdfWithoutTextLayer(benchmark::State& state) {
  const auto& doc = Laid(10000).document();
  Timed(state, "pdf_plain", [&] { bench::WritePdfWithoutTextLayer(doc, FileIn("plain.pdf")); });
}
BENCHMARK(BM_PrintPdfWithoutTextLayer)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintPdf)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor: the same texts at the same places, one font, nothing else.
void BM_PrintPdfFloor(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  const auto& doc = Laid(rows).document();
  struct Run {
    QPointF at;
    QString text;
  };
  std::vector<std::vector<Run>> pages;
  for (const auto& page : doc.pages) {
    pages.emplace_back();
    for (const auto& t : page.texts) pages.back().push_back({QPointF(t.x, t.baseline), t.text});
  }
  QFont font("Liberation Sans");
  font.setPixelSize(160);
  Timed(state, "pdf_floor" + Suffix(rows), [&] {
    QPdfWriter writer(QString::fromStdString(FileIn("floor.pdf")));
    writer.setResolution(1440);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    painter.setFont(font);
    for (size_t i = 0; i < pages.size(); ++i) {
      if (i) writer.newPage();
      for (const auto& r : pages[i]) painter.drawText(r.at, r.text);
    }
    painter.end();
  });
}
BENCHMARK(BM_PrintPdfFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintPdfFloor)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintPdfFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintHtml(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  const auto& p = Laid(rows);
  Timed(state, "html" + Suffix(rows), [&] {
    std::string error;
    if (!print::WriteHtml(p.document(), FileIn("bench.htm"), &error)) state.SkipWithError(error.c_str());
  });
}
BENCHMARK(BM_PrintHtml)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_PrintHtml)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_PrintHtml)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

// The floor: the same table markup made straight from the rows as one
// string, and written at once.
void BM_PrintHtmlFloor(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  PrintApp();
  Timed(state, "html_floor" + Suffix(rows), [&] {
    std::string html = "<!DOCTYPE html>\n<html><body>\n<table>\n<tr><th>Name</th><th>Artist</th>"
                       "<th>Category</th><th>Number</th><th>Stored</th></tr>\n";
    static const char* open[] = {"<td style=\"text-align:left;width:129.6pt\">",
                                 "<td style=\"text-align:left;width:108.0pt\">",
                                 "<td style=\"text-align:left;width:86.4pt\">",
                                 "<td style=\"text-align:right;width:72.0pt\">",
                                 "<td style=\"text-align:center;width:72.0pt\">"};
    for (int r = 0; r < rows; ++r) {
      html += "<tr>";
      for (int c = 0; c < 5; ++c) {
        html += open[c];
        html += Cell(r, c);
        html += "</td>";
      }
      html += "</tr>\n";
    }
    html += "</table>\n</body></html>\n";
    QFile f(QString::fromStdString(FileIn("floor.htm")));
    if (!f.open(QIODevice::WriteOnly)) state.SkipWithError("HTML floor not written");
    f.write(html.data(), static_cast<qint64>(html.size()));
  });
}
BENCHMARK(BM_PrintHtmlFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_PrintHtmlFloor)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_PrintHtmlFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

// The HTML export as the report window runs it: its progress keeps a busy
// scope turning the event loop; the longest the loop stood still.
void BM_PrintHtmlGap(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  const auto& p = Laid(rows);
  for (auto _ : state) {
    vb::BusyScope busy;
    bench::GapMeter gaps;
    std::string error;
    const bool written = print::WriteHtml(p.document(), FileIn("gap.htm"), &error, [&](long long done, long long total) {
      if (total > 0)
        busy.Progress(done, total);
      else
        busy.Tick();
    });
    if (!written) state.SkipWithError(error.c_str());
    Times().Note("html_gap" + Suffix(rows), gaps.Longest());
  }
}
BENCHMARK(BM_PrintHtmlGap)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintHtmlGap)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintSaveDoc(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  auto& p = const_cast<print::Printer&>(Laid(rows));
  Timed(state, "save" + Suffix(rows), [&] {
    if (!p.SaveDoc(FileIn("bench.vsr"))) state.SkipWithError("not saved");
  });
}
BENCHMARK(BM_PrintSaveDoc)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PrintSaveDoc)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_PrintSaveDoc)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintLoadDoc(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  if (Skipped(state, rows)) return;
  auto& saved = const_cast<print::Printer&>(Laid(rows));
  const std::string file = FileIn(rows == 10000 ? "load.vsr" : "load100k.vsr");
  saved.SaveDoc(file);
  // The loaded document is let go before the next run, outside the time:
  // freeing it is the cost of closing a report, not of opening one.
  std::unique_ptr<print::Printer> p;
  Times().Timed(
      state, "load" + Suffix(rows), [&] { p = std::make_unique<print::Printer>(); },
      [&] {
        if (!p->LoadDoc(file)) state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(p->PageCount());
      });
}
BENCHMARK(BM_PrintLoadDoc)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_PrintLoadDoc)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PrintLoadDoc)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A report of 2,000 records, each with a 500 x 500 cover of its own read
// from its bytes as a report reads a file: laid out, saved, loaded, every
// page drawn as the preview draws it, and written as PDF, with the peak
// of the process after each (target: under 500 MB throughout). Run it
// alone (--benchmark_filter=Illustrated) for a peak of its own.
void BM_PrintIllustratedDocument(benchmark::State& state) {
  PrintApp();
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    bench::ResetPeak();
    const long base = bench::StatusKb("VmRSS");
    std::map<std::string, double> peak;
    auto note = [&](const char* step) { peak[step] = double(bench::StatusKb("VmHWM") - base) / 1024; };
    const std::string file = FileIn("covers.vsr");
    {
      print::Printer p;
      const double made = bench::TimedWithGap([&] {
        p.StartDoc();
        for (int i = 0; i < records; ++i) {
          QImage cover(500, 500, QImage::Format_RGB32);
          cover.fill(QColor::fromHsv(i * 37 % 360, 90 + i % 160, 200));
          QPainter painter(&cover);
          painter.setPen(QPen(Qt::black, 6));
          painter.drawEllipse(QRect(40 + i % 300, 50, 160, 380 - i % 200));
          painter.drawText(QRect(0, 420, 500, 60), Qt::AlignCenter, QString("Cover %1").arg(i));
          painter.end();
          QByteArray jpeg;
          QBuffer buffer(&jpeg);
          buffer.open(QIODevice::WriteOnly);
          cover.save(&buffer, "JPEG", 85);
          if (i) p.NewPage();
          p.Text("Record " + std::to_string(i) + "\n");
          p.DrawPicture(print::Picture::FromBytes(jpeg), 1440, p.CurrentY());
        }
        p.EndDoc();
      }).first;
      note("layout");
      Times().Note("illustrated layout", made);
      Times().Note("illustrated save", bench::TimedWithGap([&] {
                     if (!p.SaveDoc(file)) state.SkipWithError(p.LastError().c_str());
                   }).first);
      note("save");
    }
    print::Printer q;
    Times().Note("illustrated load", bench::TimedWithGap([&] {
                   if (!q.LoadDoc(file)) state.SkipWithError(q.LastError().c_str());
                 }).first);
    note("load");
    Times().Note("illustrated preview", bench::TimedWithGap([&] {
                   for (int page = 1; page <= q.PageCount(); ++page)
                     benchmark::DoNotOptimize(print::RenderPageImage(q.document(), page, 96).width());
                 }).first);
    note("preview");
    Times().Note("illustrated pdf", bench::TimedWithGap([&] {
                   std::string error;
                   if (!print::WritePdf(q.document(), FileIn("covers.pdf"), &error))
                     state.SkipWithError(error.c_str());
                 }).first);
    note("pdf");
    std::printf("\n%d records with covers of their own, %d pages, document %.1f MB:\n", records, q.PageCount(),
                double(std::filesystem::file_size(file)) / 1e6);
    for (const char* step : {"layout", "save", "load", "preview", "pdf"})
      std::printf("  %-10s %7.2f s   peak %6.0f MB above the start (target < 500)\n", step,
                  Times().Get(std::string("illustrated ") + step), peak[step]);
    std::fflush(stdout);
  }
}
BENCHMARK(BM_PrintIllustratedDocument)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Runs last of this file: prints the figures against their targets.
void BM_PrintSummary(benchmark::State& state) {
  for (auto _ : state) {
  }
  auto get = [](const std::string& k) { return Times().Get(k); };
  std::printf("\nReport page layer, 10,000 rows of five columns (%d pages):\n", Laid(10000).PageCount());
  std::printf("  %-26s %8.3f s  (target < 0.5 s)\n", "layout", get("layout"));
  std::printf("  %-26s %8.3f s  floor %.3f s  ratio %.2f (target <= 1.5)\n", "PDF", get("pdf"),
              get("pdf_floor"), get("pdf_floor") > 0 ? get("pdf") / get("pdf_floor") : 0);
  {
    const double layer = bench::FileMegabytes(FileIn("bench.pdf")), plain = bench::FileMegabytes(FileIn("plain.pdf"));
    std::printf("  %-26s %8.3f s  without %.3f s  ratio %.2f (target <= 1.15)\n", "PDF text layer", get("pdf"),
                get("pdf_plain"), get("pdf_plain") > 0 ? get("pdf") / get("pdf_plain") : 0);
    std::printf("  %-26s %8.2f MB without %.2f MB ratio %.2f (target <= 1.10)\n", "PDF size", layer, plain,
                plain > 0 ? layer / plain : 0);
  }
  std::printf("  %-26s %8.3f s  floor %.3f s  ratio %.2f (target <= 3)\n", "HTML", get("html"),
              get("html_floor"), get("html_floor") > 0 ? get("html") / get("html_floor") : 0);
  std::printf("  %-26s %8.3f s  (target < 0.3 s)\n", "save document", get("save"));
  std::printf("  %-26s %8.3f s  (target < 0.3 s)\n", "load document", get("load"));
  // Each size against the one ten times smaller, beside the floors' own
  // growth where there is a floor.
  for (const auto& [from, to, label] : {std::tuple{"", "@100000", "100,000 rows against 10,000"},
                                        std::tuple{"@100000", "@1000000", "1,000,000 rows against 100,000"}}) {
    if (get(std::string("layout") + to) <= 0) continue;
    std::printf("%s (target <= 12):\n", label);
    for (const char* k : {"layout", "pdf", "html", "save", "load"}) {
      const double small = get(k + std::string(from)), big = get(k + std::string(to));
      std::printf("  %-26s %8.3f s  x %.1f", k, big, small > 0 ? big / small : 0);
      const double floorSmall = get(k + std::string("_floor") + from), floorBig = get(k + std::string("_floor") + to);
      if (floorBig > 0)
        std::printf("   floor %.3f s  x %.1f   against its floor %.2f", floorBig, floorSmall > 0 ? floorBig / floorSmall : 0,
                    big / floorBig);
      std::printf("\n");
    }
  }
  for (const char* size : {"@100000", "@1000000"})
    if (get(std::string("html_gap") + size) > 0)
      std::printf("HTML export %s rows: longest the window stood still %.3f s (target <= 0.25 s)\n", size + 1,
                  get(std::string("html_gap") + size));
  std::fflush(stdout);
  bench::RemoveDataFolder(Folder());
}
BENCHMARK(BM_PrintSummary)->Iterations(1);

}  // namespace

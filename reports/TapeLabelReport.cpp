#include "reports/TapeLabelReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/output/PageFrame.h"

namespace tvn::reports {
namespace {

// The label sheet ("Avery #5199"): the left column stands at the left
// margin, the right one at kRightLabel; the rows start at these heights.
constexpr double kLeftMargin = 1700;
constexpr double kTopMargin = 1550;
constexpr double kRightLabel = 6500;
constexpr std::array<double, 5> kLabelRows = {kTopMargin, 4170, 6800, 9445, 12065};

// The width a label's text may take: a label has a fixed place on the
// sheet and a fixed count of lines, so a longer text may neither run into
// the next label nor wrap onto a line of its own.
constexpr double kLabelWidth = kRightLabel - kLeftMargin - 200;
// The smallest size a long text is printed in to fit; only what is still
// wider than the label at that size is cut.
constexpr double kSmallestSize = 3.5;

// Prints a label's text at the cursor, in a smaller size when it is wider
// than the label (a recording name or title as long as its field), so that
// the whole text is on the label and the label's lines keep their places.
void LabelText(print::Printer& p, const std::string& text, double x) {
  // The right column also ends at the page's right margin.
  const double width = std::min(kLabelWidth, p.PageWidth() - p.MarginRight() - x);
  const double size = p.FontSize();
  const double full = p.TextWidth(text);
  if (full > width) {
    // Widths grow with the size; the sizes a font is drawn in are steps of
    // a twentieth of a point, so the last step is found by trying.
    double smaller = std::max(kSmallestSize, std::floor(size * width / full * 20) / 20);
    p.SetFontSize(smaller);
    while (smaller > kSmallestSize && p.TextWidth(text) > width) {
      smaller = std::max(kSmallestSize, smaller - 0.05);
      p.SetFontSize(smaller);
    }
  }
  p.Text(p.FitText(text, width));
  p.SetFontSize(size);
}

std::string TapeNumber(dao::Recordset& rs) { return vb::NzStr(rs.GetField("cat_number")); }

}  // namespace

void PrintTitleCell(dao::Recordset& records, std::uint8_t& count) {
  print::Printer& p = *Module().ReportPrinter;
  for (int n = 1; n <= 8; ++n) {
    const std::string field = "title" + std::to_string(n);
    const std::string left = vb::NzStr(records.GetField(field));
    if (!left.empty()) LabelText(p, left, kLeftMargin);
    if (count == 2) {
      records.MoveNext();
      p.SetCurrentX(kRightLabel);
      const std::string right = vb::NzStr(records.GetField(field));
      if (!right.empty()) LabelText(p, right, kRightLabel);
      records.MovePrevious();
    }
    // Every label gets its eight lines, filled or not, so all have one height.
    p.Text("\n");
  }
}

void PrintCatalogTitleReport(print::Printer& printer) {
  ReportModuleState& m = Module();
  m.ReportPrinter = &printer;
  printer.SetFontName("arial");
  printer.SetFontSize(8);
  printer.SetMarginLeft(kLeftMargin);
  printer.SetMarginTop(kTopMargin);
  printer.StartDoc();

  dao::RecordsetPtr rs =
      m.ReportDatabase->OpenRecordset("select * from report where cat_number & '' > '' order by cat_number");
  if (rs->RecordCount() != 0) {
    rs->MoveFirst();
    bool more = true;
    while (more) {
      for (std::size_t row = 0; row < kLabelRows.size() && more; ++row) {
        if (row > 0) printer.SetCurrentY(kLabelRows[row]);
        printer.SetFontBold(true);
        printer.SetFontSize(10);
        LabelText(printer, TapeNumber(*rs), kLeftMargin);
        std::uint8_t count = 1;
        rs->MoveNext();
        if (!rs->Eof()) {
          printer.SetCurrentX(kRightLabel);
          LabelText(printer, TapeNumber(*rs), kRightLabel);
          count = 2;
        }
        printer.Text("\n");
        printer.SetFontBold(false);
        printer.SetFontSize(8);
        rs->MovePrevious();
        PrintTitleCell(*rs, count);
        rs->MoveNext();
        if (count == 2) rs->MoveNext();
        more = !rs->Eof();
      }
      if (more) printer.NewPage();
    }
  }
  printer.EndDoc();
  ShowExportNotice(m, false, !printer.ExportFile().empty());
  m.ReportPrinter = nullptr;
  rs->Close();
}

}  // namespace tvn::reports

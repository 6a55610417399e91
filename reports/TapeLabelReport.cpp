#include "reports/TapeLabelReport.h"

#include <algorithm>
#include <array>
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

// What of a label's text fits across the label: a label has a fixed
// place on the sheet, so a longer text is cut rather than run into the
// next label or wrapped onto a line of its own.
constexpr double kLabelWidth = kRightLabel - kLeftMargin - 200;

std::string FitLabel(print::Printer& p, const std::string& text, double x) {
  // The right column also ends at the page's right margin.
  return p.FitText(text, std::min(kLabelWidth, p.PageWidth() - p.MarginRight() - x));
}

std::string TapeNumber(dao::Recordset& rs) { return vb::NzStr(rs.GetField("cat_number")); }

}  // namespace

void PrintTitleCell(dao::Recordset& records, std::uint8_t& count) {
  print::Printer& p = *Module().ReportPrinter;
  for (int n = 1; n <= 8; ++n) {
    const std::string field = "title" + std::to_string(n);
    const std::string left = vb::NzStr(records.GetField(field));
    if (!left.empty()) p.Text(FitLabel(p, left, kLeftMargin));
    if (count == 2) {
      records.MoveNext();
      p.SetCurrentX(kRightLabel);
      const std::string right = vb::NzStr(records.GetField(field));
      if (!right.empty()) p.Text(FitLabel(p, right, kRightLabel));
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
        printer.Text(FitLabel(printer, TapeNumber(*rs), kLeftMargin));
        std::uint8_t count = 1;
        rs->MoveNext();
        if (!rs->Eof()) {
          printer.SetCurrentX(kRightLabel);
          printer.Text(FitLabel(printer, TapeNumber(*rs), kRightLabel));
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

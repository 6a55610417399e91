#include "reports/LookupReports.h"

#include <QCheckBox>
#include <QStringList>
#include <functional>
#include <array>
#include <optional>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/RptForm.h"
#include "reports/output/ColumnLine.h"
#include "reports/output/PageFrame.h"

namespace tvn::reports {
namespace {

constexpr double kLeftCard = 1440;
constexpr double kRightCard = 6500;
// Room kept clear between the left card's column and the right card.
constexpr double kColumnGap = 300;

// The text of a field, Null read as "".
std::string FieldText(dao::Recordset& rs, const std::string& field) { return vb::NzStr(rs.GetField(field)); }

// A Yes/No flag; Null (as an old file may hold) counts as No.
bool Flag(dao::Recordset& rs, const std::string& field) {
  dao::Variant v = rs.GetField(field);
  return !v.isNull() && !v.isEmpty() && vb::CBool(v);
}

// The flags of R8Check 0 to 5, in that order, as the filter names them.
const std::array<const char*, 6> kSectionFlags = {"CAS", "CD", "DVD", "VT", "LP", "SCD"};

std::string SectionFilter() {
  std::string where;
  RptForm* form = CurrentRptForm();
  for (std::size_t i = 0; i < kSectionFlags.size(); ++i)
    if (form && RptForm::Ticked(form->R8Check[i])) where = BuildSectionWhere(where, kSectionFlags[i]);
  if (where.empty()) {
    // The entries used in no section; a Null flag is no section either.
    where = "where not coalesce(cas, 0) and not coalesce(cd, 0) and not coalesce(dvd, 0) and "
            "not coalesce(vt, 0) and not coalesce(scd, 0) and not coalesce(lp, 0)";
  }
  return where;
}

struct CardLayout {
  std::string title;
  std::string queryStart;
  std::string queryEnd;
  std::string nameField;
  std::vector<std::pair<std::string, std::string>> details;  // label, field
  std::string notesField;
};

// One card's values, read while the record set stands on it.
struct Card {
  std::string name;
  std::vector<std::string> details;
  std::string sections1, sections2;
  std::string notes;
};

Card ReadCard(dao::Recordset& rs, const CardLayout& layout) {
  Card card;
  card.name = FieldText(rs, layout.nameField);
  for (const auto& detail : layout.details) card.details.push_back(FieldText(rs, detail.second));
  if (Flag(rs, "cas")) card.sections1 = "Cassette/Mini Disc     ";
  if (Flag(rs, "cd")) card.sections1 += "Compact Disc     ";
  if (Flag(rs, "lp")) card.sections1 += "LP";
  if (Flag(rs, "dvd")) card.sections2 = "DVD/Laser Disc     ";
  if (Flag(rs, "vt")) card.sections2 += "Video Tape     ";
  if (Flag(rs, "scd")) card.sections2 += "Software";
  card.notes = FieldText(rs, layout.notesField);
  return card;
}

// One card's part of a row: runs printed one after the other, every line
// starting `indent` twips into the card's column.
struct Cell {
  std::vector<ColumnRun> runs;
  double indent = 0;
  bool Empty() const { return runs.empty(); }
};

// Prints one row of a card pair: each card's part wrapped inside its own
// column and set line beside line, so a long text never runs into or
// under the other card and both cards of a line are on one page. Ends
// with a line feed and `gap` twips more.
void PrintRow(print::Printer& p, const Cell& left, const Cell* right, double gap) {
  PrintColumns(p,
               {Column{kLeftCard, left.runs, 0, left.indent},
                Column{kRightCard, right ? right->runs : std::vector<ColumnRun>{}, 0, right ? right->indent : 0}},
               kColumnGap);
  p.SetCurrentY(p.CurrentY() + gap);
  p.SetCurrentX(kLeftCard);
  p.SetFontBold(false);
}

void PrintCardPair(print::Printer& p, const CardLayout& layout, const Card& left, const Card* right) {
  // Builds the row of both cards from one card's cell; no row is printed
  // when neither card has anything for it.
  auto row = [&](const std::function<Cell(const Card&)>& cellOf, double gap) {
    const Cell l = cellOf(left);
    const Cell r = right ? cellOf(*right) : Cell{};
    if (l.Empty() && r.Empty()) return;
    PrintRow(p, l, right ? &r : nullptr, gap);
  };

  p.SetFontSize(10);
  row([](const Card& c) { return Cell{{{c.name, true}}}; }, 30);
  p.SetFontSize(8);

  for (std::size_t d = 0; d < layout.details.size(); ++d)
    row(
        [&](const Card& c) {
          return c.details[d].empty() ? Cell{} : Cell{{{layout.details[d].first, true}, {c.details[d], false}}};
        },
        25);

  row([](const Card&) { return Cell{{{"Sections: ", true}}}; }, 25);
  row([](const Card& c) { return c.sections1.empty() ? Cell{} : Cell{{{c.sections1, false}}, 300}; }, 25);
  row([](const Card& c) { return c.sections2.empty() ? Cell{} : Cell{{{c.sections2, false}}, 300}; }, 25);

  row([](const Card& c) { return c.notes.empty() ? Cell{} : Cell{{{"Notes:", true}}}; }, 25);
  row([](const Card& c) { return c.notes.empty() ? Cell{} : Cell{{{c.notes, false}}, 300}; }, 0);

  p.SetIndentLeft(0);
  p.SetIndentRight(0);
  p.SetCurrentX(kLeftCard);
  p.SetCurrentY(p.CurrentY() + 400);
}

void PrintCardReport(print::Printer& printer, const CardLayout& layout) {
  ReportModuleState& m = Module();
  m.ReportPrinter = &printer;
  m.ReportTitle = layout.title;
  SetReportFonts(printer);
  printer.StartDoc();
  PrintReportHeading(m, false);

  dao::RecordsetPtr rs = m.ReportDatabase->OpenRecordset(layout.queryStart + SectionFilter() + layout.queryEnd);
  if (rs->RecordCount() != 0) {
    rs->MoveFirst();
    while (!rs->Eof()) {
      Card left = ReadCard(*rs, layout);
      rs->MoveNext();
      std::optional<Card> right;
      if (!rs->Eof()) right = ReadCard(*rs, layout);
      PrintCardPair(printer, layout, left, right ? &*right : nullptr);
      if (!right) break;  // the last card stood alone
      rs->MoveNext();
      // The page-end test runs after the last pair too.
      if (printer.CurrentY() > 13000) printer.NewPage();
    }
  }
  printer.EndDoc();
  ShowExportNotice(m, false, !printer.ExportFile().empty());
  m.ReportPrinter = nullptr;
  rs->Close();
}

}  // namespace

std::string BuildSectionWhere(const std::string& whereText, const std::string& flagName) {
  if (whereText.empty()) return "where " + flagName;
  return whereText + " or " + flagName;
}

void PrintArtistReport(print::Printer& printer) {
  PrintCardReport(printer, CardLayout{"Artist's Report",
                                      "select * from artists ",
                                      " order by artist_name",
                                      "artist_name",
                                      {{"Nationality: ", "artist_nationality"}, {"Affiliation: ", "affiliation"}},
                                      "artist_notes"});
}

void PrintLabelStudioReport(print::Printer& printer) {
  PrintCardReport(printer, CardLayout{"Lbel/Studio Report",
                                      "select * from labelstudio ",
                                      " order by labelstudio_name",
                                      "labelstudio_name",
                                      {{"Location: ", "labelstudio_location"},
                                       {"Email ID: ", "lsemail"},
                                       {"Homepage: ", "lswww"}},
                                      "labelstudio_notes"});
}

void PrintCategoryReport(print::Printer& printer) {
  ReportModuleState& m = Module();
  m.ReportPrinter = &printer;
  SetReportFonts(printer);
  printer.StartDoc();
  m.ReportTitle = "Category Report";
  PrintReportHeading(m, true);

  const std::string format = "<1.8in|^.75in|^.75in|^.75in|^.75in|^.75in|^.75in";
  const std::string header = "Category|Cassette|CD\nMini Disc|DVD\nLaser Disk|Video Tape|LP|Software";
  constexpr long kHeaderShade = 0xC0C0FF;
  printer.StartTable();
  dao::RecordsetPtr rs = m.ReportDatabase->OpenRecordset("select * from category order by category");
  if (rs->RecordCount() != 0) {
    printer.StartTable();
    rs->MoveFirst();
    // Rows go to the table as cells, so a "|" or ";" in a name stays in
    // its cell.
    std::vector<std::vector<std::string>> rows;
    while (!rs->Eof()) {
      std::vector<std::string> row{FieldText(*rs, "category")};
      for (const char* flag : {"cas", "cd", "DVD", "VT", "lp", "scd"}) row.push_back(Flag(*rs, flag) ? "X" : "");
      rows.push_back(std::move(row));
      rs->MoveNext();
    }
    printer.AddTable(format, header, rows, kHeaderShade);
    printer.TableCell(print::kTableCellFontBold, std::nullopt, 1, true);
    printer.TableCell(print::kTableCellFontBold, 0, std::nullopt, true);
    printer.EndTable();
  }
  printer.EndDoc();
  ShowExportNotice(m, false, !printer.ExportFile().empty());
  m.ReportPrinter = nullptr;
  rs->Close();
}

}  // namespace tvn::reports

#include "reports/ChangerReport.h"

#include <functional>
#include <memory>
#include <string>

#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/output/ColumnLine.h"
#include "reports/output/PageFrame.h"

namespace tvn::reports {
namespace {

constexpr double kGroupGap = 400;
constexpr double kLineGap = 30;

// The columns of a disc's line: its name from the left edge, then the
// changer, the group number and the slot. A value longer than its column
// (a changer's name of all ten characters the field holds) wraps inside it.
constexpr double kPlayerColumn = 6300;
constexpr double kGroupColumn = 8300;
constexpr double kSlotColumn = 9800;
// What is left free before the next column.
constexpr double kColumnGap = 100;

// A numeric field as trimmed text, anything else as nothing.
std::string NumberText(const dao::Variant& value) {
  if (value.isNull() || !vb::IsNumeric(value)) return {};
  return vb::Trim(vb::CStr(value));
}

struct ChangerGrouping {
  std::string groupingSql;
  // Prints the group's heading (if any) and sets the font of its lines.
  std::function<void(print::Printer&, dao::Recordset& groups)> groupStart;
  // The records of the group the grouping record set stands on; an empty
  // text skips the group.
  std::function<std::string(dao::Recordset& groups)> groupSql;
};

void PrintChangerReport(print::Printer& printer, const ChangerGrouping& grouping) {
  ReportModuleState& m = Module();
  m.ReportPrinter = &printer;
  m.ReportTitle = "Compact Disc Changer Report";
  SetReportFonts(printer);
  printer.StartDoc();
  PrintReportHeading(m, false);

  dao::RecordsetPtr groups = m.ReportDatabase->OpenRecordset(grouping.groupingSql);
  if (groups->RecordCount() != 0) {
    groups->MoveFirst();
    while (!groups->Eof()) {
      const std::string sql = grouping.groupSql(*groups);
      if (!sql.empty()) {
        grouping.groupStart(printer, *groups);
        dao::RecordsetPtr records = m.ReportDatabase->OpenRecordset(sql);
        PrintChangerRecords(*records);
        records->Close();
        printer.SetCurrentY(printer.CurrentY() + kGroupGap);
      }
      groups->MoveNext();
    }
  }
  printer.EndDoc();
  ShowExportNotice(m, false, !printer.ExportFile().empty());
  m.ReportPrinter = nullptr;
  groups->Close();
}

void PlainLines(print::Printer& p) {
  p.SetFontBold(false);
  p.SetFontSize(8);
}

}  // namespace

void PrintChangerRecords(dao::Recordset& records) {
  print::Printer* p = Module().ReportPrinter;
  if (!p || (records.BOF() && records.Eof())) return;
  records.MoveFirst();
  while (!records.Eof()) {
    PrintColumns(*p,
                 {Column{p->CurrentX(), {{vb::NzStr(records.GetField("name"))}}},
                  Column{kPlayerColumn, {{"CD Player: " + vb::NzStr(records.GetField("player"))}}},
                  Column{kGroupColumn, {{"Group #: " + NumberText(records.GetField("grpnum"))}}},
                  Column{kSlotColumn, {{"Slot #: " + NumberText(records.GetField("slot"))}}}},
                 kColumnGap);
    p->SetCurrentY(p->CurrentY() + kLineGap);
    records.MoveNext();
  }
}

void PrintChangerReportByArtist(print::Printer& printer) {
  // One group per first artist, so that no disc is listed twice. A Null
  // first artist and an empty one make one group with an empty heading;
  // the order brings them first.
  auto emptyDone = std::make_shared<bool>(false);
  PrintChangerReport(
      printer,
      {"select distinct artist1 from mediadata  where sectionnumber = 2 order by artist1",
       [](print::Printer& p, dao::Recordset& groups) {
         p.SetFontBold(true);
         p.SetFontSize(10);
         p.SetTextAlign(print::kTextAlignTitle);
         p.Text(vb::NzStr(groups.GetField("artist1")) + "\n");
         p.SetCurrentY(p.CurrentY() + 60);
         PlainLines(p);
         p.SetTextAlign(print::kTextAlignBody);
       },
       [emptyDone](dao::Recordset& groups) -> std::string {
         const std::string artist = vb::NzStr(groups.GetField("artist1"));
         std::string match = "artist1 = " + dao::SqlQuote(artist);
         if (artist.empty()) {
           if (*emptyDone) return {};
           *emptyDone = true;
           match = "(artist1 is null or artist1 = '')";
         }
         return "select * from mediadata where " + match + " and sectionnumber = 2 order by name";
       }});
}

void PrintChangerReportByPlayer(print::Printer& printer) {
  PrintChangerReport(
      printer,
      {"select distinct player from mediadata where player & '' > '' and sectionnumber = 2 order by player",
       [](print::Printer& p, dao::Recordset&) {
         PlainLines(p);
         p.SetTextAlign(print::kTextAlignBody);
       },
       [](dao::Recordset& groups) {
         return "select * from mediadata where player = " + dao::SqlQuote(vb::NzStr(groups.GetField("player"))) +
                " and sectionnumber = 2 order by slot";
       }});
}

void PrintChangerReportByGroup(print::Printer& printer) {
  PrintChangerReport(
      printer,
      {"select distinct grpnum from mediadata where isnumeric(grpnum) and sectionnumber = 2  order by grpnum",
       [](print::Printer& p, dao::Recordset&) { PlainLines(p); },
       [](dao::Recordset& groups) -> std::string {
         // The number goes into the statement as the number read, never
         // as whatever text an old file may hold.
         const dao::Variant value = groups.GetField("grpnum");
         if (value.isNull() || !vb::IsNumeric(value)) return {};
         return "select * from mediadata where grpnum = " + vb::Trim(vb::CStr(vb::CDbl(value))) +
                " and sectionnumber = 2 order by slot";
       }});
}

}  // namespace tvn::reports

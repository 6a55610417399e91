#include "games/reports/R00Module.h"

#include <QWidget>
#include <map>
#include <vector>

#include "games/PLModule.h"
#include "games/reports/frmWizard.h"
#include "platform/dao/Dao.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/output/ColumnLine.h"
#include "reports/output/PageFrame.h"

namespace pl {

tvn::reports::ReportContext& GameReports() {
  static tvn::reports::ReportContext state;
  return state;
}

void StartGameReports(QWidget* caller) {
  tvn::reports::ReportContext& m = GameReports();
  if (!PL().GameDB) return;
  m.ReportDatabase = PL().GameDB;
  m.ReportAppFolder = PLData().APath;
  m.ReportType = kNoGameReport;
  frmWizard wizard(caller);
  wizard.exec();
}

namespace {

constexpr long kHeaderShade = 65535;

std::string FieldText(const dao::Recordset& rs, const std::string& field) {
  return vb::Trim(vb::NzStr(rs.GetField(field)));
}

// A Yes/No flag; Null counts as No.
bool Flag(const dao::Recordset& rs, const std::string& field) {
  dao::Variant v = rs.GetField(field);
  return !v.isNull() && !v.isEmpty() && vb::CBool(v);
}

std::string DateText(const dao::Recordset& rs, const std::string& field) {
  dao::Variant v = rs.GetField(field);
  return vb::IsDate(v) ? vb::Format(v, "mm/dd/yyyy") : std::string();
}

void Bold(print::Printer& p, const std::string& label) {
  p.SetFontBold(true);
  p.Text(label);
  p.SetFontBold(false);
}

// A bold label and its plain value; the value may be empty.
void Labelled(print::Printer& p, const std::string& label, const std::string& value) {
  Bold(p, label);
  if (!value.empty()) p.Text(value);
}

// The names linked to one game, each followed by five blanks.
std::string LinkedNames(dao::Database& db, const std::string& sql, const std::string& field) {
  std::string out;
  dao::RecordsetPtr rs = db.OpenRecordset(sql);
  while (!rs->Eof()) {
    out += vb::NzStr(rs->GetField(field)) + "     ";
    rs->MoveNext();
  }
  rs->Close();
  return out;
}

const char* const kSectionTotals[] = {"Total Gameboy = ", "Total Nintendo = ", "Total Sony = ",
                                      "Total Sega = ",    "Total Microsoft = ", "Total Other = "};
const char* const kCaptionTables[] = {"gbcaption", "ncaption", "pscaption", "segacaption", "xcaption", "ocaption"};

// The captions of the ten personal fields of a section, read once per
// report. A section outside 1 to 6 has no caption table of its own and
// gets the captions a new collection starts with; a caption table without
// a row gives none, and then no personal fields are printed.
class Captions {
 public:
  explicit Captions(dao::Database& db) : db_(db) {}
  const std::vector<std::string>& For(int section) {
    auto found = cache_.find(section);
    if (found != cache_.end()) return found->second;
    std::vector<std::string>& captions = cache_[section];
    if (section >= 1 && section <= 6) {
      dao::RecordsetPtr rs = db_.OpenRecordset(std::string("select * from ") + kCaptionTables[section - 1]);
      if (!rs->Eof())
        for (int i = 1; i <= 10; ++i) captions.push_back(vb::NzStr(rs->GetField("f" + std::to_string(i))));
      rs->Close();
    } else {
      for (int i = 1; i <= 10; ++i) captions.push_back("My Field " + std::to_string(i));
    }
    return captions;
  }

 private:
  dao::Database& db_;
  std::map<int, std::vector<std::string>> cache_;
};

void PrintCompleteEntry(print::Printer& p, dao::Database& db, const dao::Recordset& rs,
                        const FullGameReportOptions& options, Captions& captions) {
  using tvn::reports::Column;
  using tvn::reports::LabelAndValue;
  using tvn::reports::PrintColumns;
  const std::string number = vb::Trim(vb::NzStr(rs.GetField("systemnumber")));
  // The values that stand side by side wrap inside their columns, so that
  // one as long as its field never runs into the next.
  p.SetFontSize(8);
  const double left = p.CurrentX();
  // The lines under the name are indented: the name's line ends there.
  p.SetIndentLeft(200);
  PrintColumns(p, {Column{left, {{FieldText(rs, "name"), true}}, 10},
                   Column{8400, LabelAndValue("Date Released: ", DateText(rs, "date_released"))}});
  p.SetCurrentY(p.CurrentY() + 50);
  PrintColumns(p, {Column{p.CurrentX(), LabelAndValue("Section: ", FieldText(rs, "sections.name"))},
                   Column{8400, LabelAndValue("Date Aquired: ", DateText(rs, "date_aquired"))}});
  Labelled(p, "Publisher: ", FieldText(rs, "labelstudio_name"));
  p.Text("\n");
  Labelled(p, "Developer: ", FieldText(rs, "artist_name"));
  p.Text("\n");
  Labelled(p, "Genre: ", FieldText(rs, "category"));
  p.Text("\n");
  const auto& parts = options.parts;
  if (parts[0]) {
    Bold(p, "Best Feature");
    p.Text("\n" + FieldText(rs, "bestfeature") + "\n");
    Bold(p, "Worst Feature");
    p.Text("\n" + FieldText(rs, "worstfeature") + "\n\n");
  }
  if (parts[1]) {
    PrintColumns(p, {Column{p.CurrentX(), LabelAndValue("Rating: ", FieldText(rs, "rating"))},
                     Column{4000, LabelAndValue("Format: ", FieldText(rs, "Format"))},
                     Column{8000, LabelAndValue("# Players: ", FieldText(rs, "players"))}});
    p.Text("\n");
  }
  if (parts[2]) {
    Bold(p, "System Types");
    p.Text("\n" +
           LinkedNames(db,
                       "SELECT SysType.* FROM SysTypeMedia INNER JOIN SysType ON SysTypeMedia.SysTypeID = "
                       "SysType.systypeID where systypemedia.systemnumber = " + number + ";",
                       "systype") +
           "\n\n");
  }
  if (parts[3]) {
    Bold(p, "Supports");
    p.Text("\n" +
           LinkedNames(db,
                       "SELECT supports.* FROM Supportsmedia INNER JOIN supports ON Supportsmedia.supports = "
                       "supports.supports where supportsmedia.systemnumber = " + number + ";",
                       "Name") +
           "\n\n");
  }
  if (parts[4]) {
    const auto& names = captions.For(static_cast<int>(vb::CLng(rs.GetField("sectionnumber"))));
    if (!names.empty()) {
      for (int i = 1; i <= 9; i += 2) {
        PrintColumns(
            p, {Column{p.CurrentX(), LabelAndValue(names[static_cast<size_t>(i - 1)] + ": ",
                                                   FieldText(rs, "f" + std::to_string(i)))},
                Column{6000, LabelAndValue(names[static_cast<size_t>(i)] + ": ",
                                           FieldText(rs, "f" + std::to_string(i + 1)))}});
      }
      p.Text("\n");
    }
  }
  if (parts[5]) {
    Bold(p, "Hints/Tips");
    p.Text("\n" + FieldText(rs, "hintstips") + "\n\n");
  }
  if (parts[6]) {
    Bold(p, "Instructions");
    p.Text("\n" + FieldText(rs, "instructions") + "\n\n");
  }
  if (parts[7]) {
    Bold(p, "Notes");
    p.Text("\n" + FieldText(rs, "notes") + "\n");
  }
  p.SetIndentLeft(0);
  p.Text("\n\n");
  p.SetCurrentY(p.CurrentY() + 400);
}

const char* OrderClause(int sortOrder) {
  switch (sortOrder) {
    case 0: return " order by mediadata.name;";
    case 1: return " order by publisher.labelstudio_name, mediadata.name;";
    case 2: return " order by developer.artist_name, mediadata.name;";
    case 3: return " order by genre.category, mediadata.name;";
    case 4: return " order by sections.name, mediadata.name;";
    default: return "";
  }
}

}  // namespace

void PrintFullGameReport(print::Printer& printer, const FullGameReportOptions& options) {
  tvn::reports::ReportContext& m = GameReports();
  m.ReportPrinter = &printer;
  // Its own heading: never what the last list report left in the state.
  m.ReportTitle = kFullGameReportTitle;
  m.ReportSubtitle.clear();
  const std::string format = "+2.5in|+^1.6in|+^1.6in|+^1.6in|+^1.6in;";
  const std::string header = "Name|Section|Publisher|Developer|Genre;";
  printer.SetOrientation(options.oneLine ? print::kLandscape : print::kPortrait);
  std::array<long, 10> counts{};
  tvn::reports::SetReportFonts(printer);
  printer.StartDoc();
  tvn::reports::PrintReportHeading(m, options.oneLine);

  dao::Database& db = *m.ReportDatabase;
  dao::RecordsetPtr rs = db.OpenRecordset(
      std::string("SELECT MediaData.*, Developer.Artist_Name, Genre.Category, Publisher.LabelStudio_Name, ") +
      "sections.name FROM (((MediaData LEFT OUTER JOIN Developer ON MediaData.developer = Developer.developer) " +
      "LEFT OUTER JOIN Genre ON MediaData.genre = Genre.genre) LEFT OUTER JOIN Publisher ON " +
      "MediaData.publisher = Publisher.publisher) LEFT OUTER JOIN sections ON " +
      "MediaData.sectionNumber = sections.section where printrecord " + OrderClause(options.sortOrder));
  bool tableStarted = false;
  if (!rs->Eof()) {
    Captions captions(db);
    std::vector<std::vector<std::string>> rows;
    if (options.oneLine) {
      printer.SetFontSize(8);
      printer.StartTable();
      tableStarted = true;
    }
    while (!rs->Eof()) {
      if (options.oneLine) {
        // Cells go to the table as cells: a "|" or ";" in a name stays in its cell.
        rows.push_back({FieldText(*rs, "name"), FieldText(*rs, "sections.name"), FieldText(*rs, "labelstudio_name"),
                        FieldText(*rs, "artist_name"), FieldText(*rs, "category")});
        const dao::Variant section = rs->GetField("sectionnumber");
        if (!section.isNull()) {
          const long n = vb::CLng(section);
          if (n >= 0 && n <= 9) ++counts[static_cast<size_t>(n)];
        }
      } else {
        PrintCompleteEntry(printer, db, *rs, options, captions);
      }
      rs->MoveNext();
    }
    if (!rows.empty()) printer.AddTable(format, header, rows, kHeaderShade, -1, true);
  }
  if (options.oneLine) {
    if (tableStarted) printer.EndTable();
    printer.Text("\n\n");
    for (int s = 1; s <= 6; ++s)
      if (counts[static_cast<size_t>(s)] > 0)
        printer.Text(kSectionTotals[s - 1] + std::to_string(counts[static_cast<size_t>(s)]) + "\n");
  }
  printer.EndDoc();
  printer.SetOrientation(print::kPortrait);
  tvn::reports::ShowExportNotice(m, false, !printer.ExportFile().empty());
  rs->Close();
  m.ReportPrinter = nullptr;
}

void PrintListReport(print::Printer& printer, const std::string& table, const std::string& nameField) {
  tvn::reports::ReportContext& m = GameReports();
  m.ReportPrinter = &printer;
  switch (m.ReportType) {
    case kDeveloperList: m.ReportTitle = "Developer Report"; break;
    case kPublisherList: m.ReportTitle = "Publisher Report"; break;
    case kGenreList: m.ReportTitle = "Genre Report"; break;
    default: break;
  }
  m.ReportSubtitle.clear();
  tvn::reports::SetReportFonts(printer);
  printer.SetOrientation(print::kLandscape);
  printer.StartDoc();
  tvn::reports::PrintReportHeading(m, true);
  dao::RecordsetPtr rs = m.ReportDatabase->OpenRecordset("select * from " + table + " order by " + nameField);
  if (!rs->Eof()) {
    // The header words are the ones this report has always printed.
    const std::string format = "+2.5in|+^1in|+^1in|+^1in|+^1in|+^1in|+^1in;";
    const std::string header = "Name|Ganmeboy|Nintendo|Sont|Sega|Microsoft|Other;";
    printer.StartTable();
    std::vector<std::vector<std::string>> rows;
    while (!rs->Eof()) {
      std::vector<std::string> row{FieldText(*rs, nameField)};
      for (const char* flag : {"GBOn", "NTOn", "PSOn", "SegaOn", "XOn", "OtherOn"})
        row.push_back(Flag(*rs, flag) ? "Yes" : "No");
      rows.push_back(std::move(row));
      rs->MoveNext();
    }
    printer.AddTable(format, header, rows, kHeaderShade, -1, true);
    printer.EndTable();
  }
  printer.EndDoc();
  tvn::reports::ShowExportNotice(m, false, !printer.ExportFile().empty());
  printer.SetOrientation(print::kPortrait);
  rs->Close();
  m.ReportPrinter = nullptr;
}

void PrintSupportsReport(print::Printer& printer, const std::string& table, const std::string& nameField) {
  tvn::reports::ReportContext& m = GameReports();
  m.ReportPrinter = &printer;
  m.ReportTitle = m.ReportType == kSysTypeList ? "System Type Report" : "Supports Report";
  m.ReportSubtitle.clear();
  tvn::reports::SetReportFonts(printer);
  printer.SetOrientation(print::kPortrait);
  printer.StartDoc();
  tvn::reports::PrintReportHeading(m, false);
  dao::RecordsetPtr rs = m.ReportDatabase->OpenRecordset("SELECT * FROM " + table + " order by " + nameField);
  while (!rs->Eof()) {
    printer.Text(vb::NzStr(rs->GetField(nameField)) + "\n");
    rs->MoveNext();
  }
  printer.EndDoc();
  tvn::reports::ShowExportNotice(m, false, !printer.ExportFile().empty());
  rs->Close();
  m.ReportPrinter = nullptr;
}

}  // namespace pl

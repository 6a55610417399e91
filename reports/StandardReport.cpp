#include "reports/StandardReport.h"

#include <QCheckBox>
#include <QRadioButton>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/TavolinModule.h"
#include "platform/dao/Dao.h"
#include "platform/dao/RowStream.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/RptForm.h"
#include "reports/output/ColumnLine.h"
#include "reports/output/PageFrame.h"

namespace tvn::reports {
namespace {

// The writer's own page-end test: a record whose picture would reach past
// this starts a new page.
constexpr double kPageEnd = 13000;
constexpr double kLeft = 1440;
constexpr double kGap = 200;

const char* const kTableFormat = "+2.5in|+^2.0in|+^1.0in|+^1.0in;";
const char* const kTableHeader = "Name|Artist|Category|Media Type;";
constexpr long kHeaderShade = 65535;

struct MediaTotal {
  const char* section;
  const char* label;
};
// The order is also the order of the totals under the table.
const MediaTotal kTotals[9] = {
    {"Cassette", "Total Cassettes = "}, {"Compact Disc", "Total Compact Discs = "},
    {"LP", "Total LPs = "},             {"DVD", "Total DVDs = "},
    {"Laser Disc", "Total Laser Discs = "}, {"Video Tape", "Total Video Tapes = "},
    {"Software", "Total Software = "},  {"MP3", "Total MP3 = "},
    {"MiniDisc", "Total MiniDiscs = "},
};

// The fields the writer reads. A report of many records reads each by its
// position, found by name once per report rather than once per field of
// every record.
enum FieldId : int {
  kSection, kPicture, kName, kRYear, kCatNumber, kQRating, kRating, kArtist1, kArtist2, kArtist3, kArtist4,
  kCategory, kLabelStudio, kAcquired, kFormat, kSound, kTime, kSides, kSRatio, kPRatio, kSpeed, kTapeIndex,
  kSlot, kSerial, kMail, kHomepage, kNotes,
  kUser1, kUserCaption1 = kUser1 + 10, kTitle1 = kUserCaption1 + 10, kFieldIds = kTitle1 + 40
};

const std::vector<std::string>& FieldNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n = {"section", "Picture", "name", "RYear", "cat_number", "QRating", "rating",
                                  "artist1", "artist2", "artist3", "artist4", "category", "labelstudio",
                                  "date_aquired", "format_type", "format_type2", "total_time", "sides",
                                  "SRatio", "PRatio", "Tape_Speed", "TapeIndex", "slot", "serial", "emailid",
                                  "homepage", "notes"};
    for (int i = 1; i <= 10; ++i) n.push_back("f" + std::to_string(i));
    for (int i = 1; i <= 10; ++i) n.push_back("f" + std::to_string(i) + "c");
    for (int i = 1; i <= 40; ++i) n.push_back("title" + std::to_string(i));
    return n;
  }();
  return names;
}

class RecordFields {
 public:
  explicit RecordFields(dao::RowStream& rows) : rows_(rows), index_(kFieldIds, -1) {
    std::unordered_map<std::string, int> byName;
    const std::vector<std::string>& names = rows.Names();
    for (int i = 0, n = static_cast<int>(names.size()); i < n; ++i)
      byName.emplace(vb::LCase(names[static_cast<size_t>(i)]), i);
    const auto& wanted = FieldNames();
    for (int id = 0; id < kFieldIds; ++id) {
      auto it = byName.find(vb::LCase(wanted[static_cast<size_t>(id)]));
      if (it != byName.end()) index_[static_cast<size_t>(id)] = it->second;
    }
  }
  vb::Variant Get(int id) const {
    const int i = index_[static_cast<size_t>(id)];
    // A field the query lacks fails as reading it by name does.
    return i >= 0 ? rows_.Field(i) : rows_.Field(FieldNames()[static_cast<size_t>(id)]);
  }
  std::string Text(int id) const { return vb::NzStr(Get(id)); }

 private:
  dao::RowStream& rows_;
  std::vector<int> index_;
};

// Non-empty as the report tests it: the text is longer than "".
bool Filled(const std::string& text) { return !text.empty(); }

// The text a number field prints as, and whether it counts as above 0.
struct CountText {
  bool positive = false;
  std::string text;
};

CountText CountOf(const vb::Variant& value) {
  CountText out;
  if (!vb::IsNumeric(value)) return out;
  const double number = vb::CDbl(value);
  out.text = vb::Trim(vb::NzStr(value));
  if (std::fabs(number) < static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    out.positive = vb::CLng(value) > 0;
  } else {
    // Too large for a 32-bit number: its text is printed as it stands.
    out.positive = number > 0;
  }
  return out;
}

class StandardReportWriter {
 public:
  StandardReportWriter(print::Printer& printer, const StandardReportOptions& options)
      : p_(printer), options_(options), ctx_(Module()) {}

  void Run() {
    ctx_.ReportPrinter = &p_;
    counts_.fill(0);
    SetReportFonts(p_);
    p_.StartDoc();
    PrintReportHeading(ctx_, options_.oneLine);
    // The engine sorts every marked record before it gives the first; the
    // rows are read aside meanwhile, with the window kept turning.
    // The first records are laid out while the rest are sorted and
    // counted; how far the report is shows once they are counted.
    dao::RowStream rows(ctx_.ReportDatabase, StandardReportSql(options_.sort), [this] { p_.ReportProgress(0, 0); });
    if (rows.Next()) {
      first_ = true;
      if (options_.oneLine) {
        p_.SetFontSize(8);
        p_.StartTable();
      }
      const RecordFields fields(rows);
      long done = 0;
      do {
        p_.ReportProgress(++done, rows.KnownCount());
        if (options_.oneLine)
          OneLineRow(fields);
        else
          CompleteRecord(fields);
      } while (rows.Next());
    }
    if (options_.oneLine) {
      p_.EndTable();
      p_.Text("\n\n");
      for (int i = 0; i < 9; ++i) {
        if (counts_[i] <= 0) continue;
        std::string line = kTotals[i].label + vb::Trim(std::to_string(counts_[i]));
        if (i < 8) line += "\n";
        p_.Text(line);
      }
    }
    p_.EndDoc();
    if (options_.oneLine) p_.SetOrientation(print::kPortrait);
    ShowExportNotice(ctx_, false, !p_.ExportFile().empty());
  }

 private:
  void OneLineRow(const RecordFields& rs) {
    const std::string section = rs.Text(kSection);
    // The cells go to the table as cells, so that a "|" or ";" in a name
    // can neither shift the columns nor start a row of its own.
    const std::vector<std::vector<std::string>> row{
        {vb::Trim(rs.Text(kName)), vb::Trim(rs.Text(kArtist1)), vb::Trim(rs.Text(kCategory)),
         vb::Trim(section)}};
    p_.AddTable(kTableFormat, kTableHeader, row, kHeaderShade, -1, true);
    for (int i = 0; i < 9; ++i) {
      if (section == kTotals[i].section) {
        ++counts_[i];
        break;
      }
    }
  }

  void Value(const std::string& text) {
    if (!text.empty()) p_.Text(text);
  }
  // The width of runs set one after the other on a line.
  double Width(const std::vector<ColumnRun>& runs) {
    const bool bold = p_.FontBold();
    double width = 0;
    for (const ColumnRun& run : runs) {
      p_.SetFontBold(run.bold);
      width += p_.TextWidth(run.text);
    }
    p_.SetFontBold(bold);
    return width;
  }
  // A line of labelled values side by side, each wrapped in its column.
  void Columns(const std::vector<Column>& columns, double gap = 25) {
    PrintColumns(p_, columns);
    p_.SetCurrentY(p_.CurrentY() + gap);
  }
  void EndLine(double gap = 25) {
    p_.Text("\n");
    p_.SetCurrentY(p_.CurrentY() + gap);
  }

  void CompleteRecord(const RecordFields& rs) {
    const std::string section = rs.Text(kSection);

    // Picture and page end.
    bool loaded = false;
    double pictureHeight = 0;
    const std::string picture = rs.Text(kPicture);
    if (Filled(picture) && options_.include[0]) {
      // Found as the catalogue finds it: under the data folder, "\" read as
      // "/", names without regard to letter case.
      const std::string path = PicturePath(picture);
      loaded = !path.empty() && LoadReportPicture(ctx_, path);
    }
    if (loaded) pictureHeight = print::HimetricToTwips(print::PictureHeightHimetric(ctx_.ReportPicture));
    if (p_.CurrentY() + pictureHeight > kPageEnd) {
      p_.NewPage();
    } else if (!first_) {
      const print::Picture recordPicture = ctx_.ReportPicture;
      PrintSeparatorImage(ctx_);
      // The separator took the shared picture's place: the record's picture
      // comes back without reading its file a second time.
      if (loaded) ctx_.ReportPicture = recordPicture;
    }
    first_ = false;

    // Name line: the name in the larger type.
    p_.SetCurrentX(kLeft);
    p_.SetFontSize(8);
    std::vector<Column> nameLine{Column{kLeft, {{rs.Text(kName), true}}, 10}};
    const vb::Variant released = rs.Get(kRYear);
    if (vb::IsDate(released))
      nameLine.push_back({8400, LabelAndValue("Release Year: ", vb::Format(released, "mm/dd/yyyy"))});
    Columns(nameLine, 50);
    p_.SetFontBold(true);

    if (loaded) {
      DrawReportPicture(ctx_);
      p_.SetCurrentX(kLeft);
      p_.SetCurrentY(p_.CurrentY() + pictureHeight + 75);
    }

    // Catalogue line: a column left out gives its room to the one before.
    std::vector<Column> catalogue{Column{kLeft, LabelAndValue("Catalog #: ", rs.Text(kCatNumber))}};
    const std::string quality = rs.Text(kQRating);
    if (Filled(quality)) catalogue.push_back({3500, LabelAndValue("Quality Rating: ", quality)});
    const std::string rating = rs.Text(kRating);
    if (Filled(rating)) catalogue.push_back({6200, LabelAndValue("Rating: ", rating)});
    catalogue.push_back({8500, LabelAndValue("Media Type: ", section)});
    Columns(catalogue);

    // Artists line.
    std::vector<ColumnRun> artists{{rs.Text(kArtist1), false}};
    for (int id : {kArtist2, kArtist3, kArtist4}) {
      const std::string artist = rs.Text(id);
      if (Filled(artist)) artists.push_back({",   " + artist, false});
    }
    Columns({{kLeft, {{"Artists:", true}}}, {2140, artists}});

    // Data section 1: category, label/studio, date acquired.
    const std::string category = rs.Text(kCategory);
    const std::string label = rs.Text(kLabelStudio);
    const vb::Variant acquired = rs.Get(kAcquired);
    if (options_.include[3] && (Filled(category + label) || vb::IsDate(acquired))) {
      Columns({{kLeft, LabelAndValue("Category: ", category)},
               {4600, LabelAndValue("Label/Studio: ", label)},
               {8600, LabelAndValue("Date Aquired: ",
                                    vb::IsDate(acquired) ? vb::Format(acquired, "mm/dd/yyyy") : "")}});
    }

    // Data section 2: format, sound format, time.
    const std::string format = rs.Text(kFormat);
    const std::string sound = rs.Text(kSound);
    const std::string time = rs.Text(kTime);
    if (options_.include[4] && Filled(format + sound + time)) {
      Columns({{kLeft, LabelAndValue("Format: ", format)}, {3800, LabelAndValue("Sound Format: ", sound)},
               {6800, LabelAndValue("Total Time:", time)}});
    }

    // Data section 3: ratios and sides, then tape index and speed, on one line.
    const CountText sides = CountOf(rs.Get(kSides));
    const std::string screen = rs.Text(kSRatio);
    const std::string pictureRatio = rs.Text(kPRatio);
    const std::string speed = rs.Text(kSpeed);
    const std::string index = rs.Text(kTapeIndex);
    if (options_.include[5] && (Filled(screen + pictureRatio + speed + index) || sides.positive)) {
      const bool ratios = Filled(screen + pictureRatio) || sides.positive;
      const bool tape = Filled(speed + index);
      const std::vector<ColumnRun> speedRuns = LabelAndValue("Tape Speed: ", speed);
      std::vector<Column> line;
      std::optional<Column> speedBelow;
      if (ratios) {
        line = {{kLeft, LabelAndValue("Screen Aspect Ratio: ", screen)},
                {5000, LabelAndValue("Picture Aspect Ratio: ", pictureRatio)},
                {8000, LabelAndValue("# Sides: ", sides.positive ? sides.text : "")}};
        if (tape) {
          // The index follows the sides. Behind it the speed's own column
          // lies under the picture ratio: the speed follows the index, or
          // starts the next line at its column when the line has no room.
          for (const ColumnRun& run : LabelAndValue("Tape Index#: ", index)) line.back().runs.push_back(run);
          const double speedX = 8000 + Width(line.back().runs) + kGap;
          const double rightLimit = p_.PageWidth() - p_.MarginRight() - p_.IndentRight();
          if (speedX + Width(speedRuns) <= rightLimit)
            line.push_back({speedX, speedRuns});
          else
            speedBelow = Column{4000, speedRuns};
        }
      } else {
        line = {{kLeft, LabelAndValue("Tape Index#: ", index)}, {4000, speedRuns}};
      }
      Columns(line);
      if (speedBelow) Columns({*speedBelow});
    }

    // Compact disc serial and changer slot.
    const CountText slot = CountOf(rs.Get(kSlot));
    const std::string serial = rs.Text(kSerial);
    if (options_.include[5] && (Filled(serial) || slot.positive)) {
      Columns({{kLeft, LabelAndValue("CD Serial #: ", serial)},
               {4000, LabelAndValue("CD Changer Slot #: ", slot.positive ? slot.text : "")}});
    }

    // Web line: no option governs it.
    const std::string mail = rs.Text(kMail);
    const std::string homepage = rs.Text(kHomepage);
    if (Filled(mail + homepage)) {
      Columns({{kLeft, LabelAndValue("EMail ID: ", mail)}, {6000, LabelAndValue("Homepage: ", homepage)}});
    }

    // User-defined fields in pairs, with the captions the record carries.
    if (options_.include[1]) {
      for (int n = 1; n <= 9; n += 2) {
        const std::string valueA = rs.Text(kUser1 + n - 1);
        const std::string valueB = rs.Text(kUser1 + n);
        if (!Filled(valueA + valueB)) continue;
        Columns({{kLeft, LabelAndValue(rs.Text(kUserCaption1 + n - 1) + ": ", valueA)},
                 {6000, LabelAndValue(rs.Text(kUserCaption1 + n) + ": ", valueB)}});
      }
    }

    // Titles in pairs.
    if (options_.include[2] && Filled(rs.Text(kTitle1))) {
      const char* heading = section == "Software" ? "Programs:" : section == "DVD" ? "Chapters:" : "Titles:";
      p_.SetFontBold(true);
      p_.Text(std::string(heading) + "\n");
      p_.SetCurrentY(p_.CurrentY() + 25);
      p_.SetFontBold(false);
      for (int n = 1; n <= 39; n += 2) {
        const std::string a = rs.Text(kTitle1 + n - 1);
        const std::string b = rs.Text(kTitle1 + n);
        if (!Filled(a + b)) continue;
        Value(a);
        if (Filled(b)) p_.Text(",          " + b);
        EndLine(100);
      }
    }

    // Notes.
    const std::string notes = rs.Text(kNotes);
    if (options_.include[6] && Filled(notes)) {
      p_.SetFontBold(true);
      p_.Text("Notes:\n");
      p_.SetCurrentY(p_.CurrentY() + 25);
      p_.SetFontBold(false);
      p_.Text(notes + "\n");
    }

    p_.Text("\n\n");
    p_.SetCurrentY(p_.CurrentY() + 400);
  }

  print::Printer& p_;
  const StandardReportOptions& options_;
  ReportModuleState& ctx_;
  std::array<std::int32_t, 9> counts_{};
  bool first_ = true;
};

}  // namespace

StandardReportOptions StandardOptionsOf(const RptForm* form) {
  StandardReportOptions options;
  if (!form) return options;
  options.oneLine = form->TypeOption[2] && form->TypeOption[2]->isChecked();
  for (int index : {1, 0, 2, 3, 4}) {
    if (form->R6SortOption[index] && form->R6SortOption[index]->isChecked()) {
      options.sort = index;
      break;
    }
  }
  for (int i = 0; i < 7; ++i) options.include[i] = RptForm::Ticked(form->R6Check[i]);
  return options;
}

std::string StandardReportSql(int sort) {
  const std::string start = "select * from mediadata where not isnull(name) and pr1 order by ";
  switch (sort) {
    case 0: return start + "artist1,artist2,artist3,artist4,name";
    case 2: return start + "cat_number, TapeIndex,name,artist1,artist2,artist3,artist4";
    case 3: return start + "section,name,artist1,artist2,artist3,artist4";
    case 4: return start + "cat_number, name,artist1,artist2,artist3,artist4";
    default: return start + "name,artist1,artist2,artist3,artist4";
  }
}

void PrintMediaReport(print::Printer& printer) { PrintMediaReport(printer, StandardOptionsOf(CurrentRptForm())); }

void PrintMediaReport(print::Printer& printer, const StandardReportOptions& options) {
  StandardReportWriter(printer, options).Run();
}

}  // namespace tvn::reports

// The standard media report on a small collection, made from the report
// window: which records it prints and in which order, the one-line table
// with its totals, and the complete layout's page flow, texts and places.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/print/Printer.h"
#include "platform/print/tests/OutsideTools.h"
#include "platform/print/tests/Overlaps.h"
#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/output/PageFrame.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RptForm;
using tvntest::AddRow;

class StandardReport : public tvntest::ReportTest {
 protected:
  // A marked record of the section with the given values.
  void AddItem(const std::string& name, const std::string& section, std::map<std::string, dao::Variant> values = {}) {
    values["name"] = name;
    values["section"] = section;
    if (!values.count("pr1")) values["pr1"] = true;
    AddRow(db_, "mediadata", values);
  }

  // The report made with the given layout, sort option and cleared boxes.
  const print::Document& Create(bool oneLine, int sort = 1, std::initializer_list<int> cleared = {},
                                const std::string& sections = " 1  2 ") {
    RptForm& w = OpenWindow(6, sections);
    w.TypeOption[oneLine ? 2 : 1]->click();
    w.R6SortOption[sort]->setChecked(true);
    for (int i : cleared) w.R6Check[i]->setChecked(false);
    w.CreateButton->click();
    return w.Printer().document();
  }

  // Cells of the body rows of every table part, in page order.
  static std::vector<std::vector<QString>> Rows(const print::Document& doc) {
    std::vector<std::vector<QString>> rows;
    for (const auto& page : doc.pages)
      for (const auto& table : page.tables)
        for (const auto& row : table.rows) {
          if (row.header) continue;
          std::vector<QString> cells;
          for (const auto& c : row.cells) cells.push_back(c.text);
          rows.push_back(cells);
        }
    return rows;
  }
  static std::vector<QString> Column(const print::Document& doc, std::size_t column) {
    std::vector<QString> out;
    for (const auto& row : Rows(doc)) out.push_back(row.at(column));
    return out;
  }

  // The record names (bold, size 10) with their page and place.
  struct Placed {
    QString text;
    int page;
    double x, y;
  };
  static std::vector<Placed> Names(const print::Document& doc) {
    std::vector<Placed> out;
    for (std::size_t p = 0; p < doc.pages.size(); ++p)
      for (const auto& t : Texts(doc.pages[p]))
        if (t.font.bold && t.font.size == 10) out.push_back({t.text, int(p), t.x, t.y});
    return out;
  }
  static std::vector<QString> NameTexts(const print::Document& doc) {
    std::vector<QString> out;
    for (const auto& n : Names(doc)) out.push_back(n.text);
    return out;
  }

  // Texts that start with a prefix, in page order.
  static std::vector<QString> StartingWith(const print::Document& doc, const QString& prefix) {
    std::vector<QString> out;
    for (const auto& page : doc.pages)
      for (const auto& t : Texts(page))
        if (t.text.startsWith(prefix)) out.push_back(t.text);
    return out;
  }

  // A picture file of the given height in pixels (96 dots per inch).
  void MakePicture(const std::string& relative, int width, int height) {
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    ASSERT_TRUE(image.save(QString::fromStdString(Path(relative))));
  }
  static bool IsSeparator(const print::PictureItem& item) {
    return item.picture.size() == tvn::reports::ReportImage(1).size();
  }
  static int Separators(const print::Page& page) {
    return int(std::count_if(page.pictures.begin(), page.pictures.end(), IsSeparator));
  }
};

TEST_F(StandardReport, OnlyMarkedNamedRecordsInEachSortOrder) {
  AddItem("Delta", "Video Tape", {{"artist1", "Cole"}, {"cat_number", "T2"}, {"TapeIndex", "1"}});
  AddItem("alpha", "LP", {{"artist1", "Baez"}, {"cat_number", "T1"}, {"TapeIndex", "2"}});
  AddItem("Bravo", "Cassette", {{"artist1", "Adams"}, {"cat_number", "t1"}, {"TapeIndex", "1"}});
  AddItem("Unmarked", "LP", {{"pr1", false}});
  AddRow(db_, "mediadata", {{"section", "LP"}, {"artist1", "Nameless"}, {"pr1", true}});
  EXPECT_EQ(Column(Create(true, 1), 0), (std::vector<QString>{"alpha", "Bravo", "Delta"}));
  EXPECT_EQ(Column(Create(true, 0), 0), (std::vector<QString>{"Bravo", "alpha", "Delta"}));
  EXPECT_EQ(Column(Create(true, 3), 0), (std::vector<QString>{"Bravo", "alpha", "Delta"}));
  // Tape number, then tape index; the numbers compare without regard to case.
  EXPECT_EQ(Column(Create(true, 2, {}, " 6 "), 0), (std::vector<QString>{"Bravo", "alpha", "Delta"}));
  EXPECT_EQ(Column(Create(true, 4), 0), (std::vector<QString>{"alpha", "Bravo", "Delta"}));
  // The complete layout prints the same records.
  EXPECT_EQ(NameTexts(Create(false, 1)), (std::vector<QString>{"alpha", "Bravo", "Delta"}));
}

TEST_F(StandardReport, OneLineTableWithTotalsPerMediaType) {
  AddItem("  Padded  ", "Compact Disc", {{"artist1", " Ann "}, {"category", "Rock"}});
  AddItem("Second", "Compact Disc");
  AddItem("Tape", "Video Tape");
  AddItem("Tiny", "MiniDisc");
  AddItem("Renamed", "Compact Disk");  // a caption the user changed: printed, never counted
  AddItem("Split | this; row", "LP", {{"artist1", "A;B"}});
  const print::Document& doc = Create(true);
  EXPECT_EQ(window_->Printer().Orientation(), print::kPortrait);
  auto rows = Rows(doc);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0], (std::vector<QString>{"Padded", "Ann", "Rock", "Compact Disc"}));
  // Separator characters in a value stay inside their cell.
  EXPECT_EQ(rows[3], (std::vector<QString>{"Split | this; row", "A;B", "", "LP"}));
  const print::TableItem& table = doc.pages[0].tables.at(0);
  ASSERT_FALSE(table.rows.empty());
  EXPECT_TRUE(table.rows[0].header);
  EXPECT_EQ(table.rows[0].cells.size(), 4u);
  EXPECT_EQ(table.rows[0].cells[3].text, "Media Type");
  EXPECT_EQ(table.headerShade, 65535);
  EXPECT_EQ(table.columnWidths, (std::vector<double>{3600, 2880, 1440, 1440}));

  // The totals in counter order, each on its own line, zeros left out.
  std::vector<print::TextItem> totals;
  for (const auto& t : Texts(doc.pages.back()))
    if (t.text.startsWith("Total ")) totals.push_back(t);
  ASSERT_EQ(totals.size(), 4u);
  EXPECT_EQ(totals[0].text, "Total Compact Discs = 2");
  EXPECT_EQ(totals[1].text, "Total LPs = 1");
  EXPECT_EQ(totals[2].text, "Total Video Tapes = 1");
  EXPECT_EQ(totals[3].text, "Total MiniDiscs = 1");
  EXPECT_GT(totals[0].y, table.y + table.Height());
  for (std::size_t i = 1; i < totals.size(); ++i) EXPECT_GT(totals[i].y, totals[i - 1].y);
  // The complete layout prints no table and no totals.
  const print::Document& complete = Create(false);
  EXPECT_TRUE(StartingWith(complete, "Total ").empty());
  EXPECT_TRUE(complete.pages[0].tables.empty());
}

TEST_F(StandardReport, AnEmptySelectionGivesTheFrameOnly) {
  AddItem("Unmarked", "LP", {{"pr1", false}});
  const print::Document& oneLine = Create(true);
  EXPECT_EQ(oneLine.PageCount(), 1);
  EXPECT_TRUE(Rows(oneLine).empty());
  EXPECT_TRUE(StartingWith(oneLine, "Total").empty());
  EXPECT_TRUE(HasText(oneLine, "The Tavolin"));
  EXPECT_EQ(Separators(oneLine.pages[0]), 0);  // the one-line heading has no separator
  const print::Document& complete = Create(false);
  EXPECT_TRUE(Names(complete).empty());
  EXPECT_EQ(Separators(complete.pages[0]), 1);
}

TEST_F(StandardReport, TitlesOfEveryScriptPrintInThePdfWithFontsThatHoldThem) {
  const std::vector<QString> names{"坂本龍一", "日本の音楽", "방탄소년단", "Ελληνικά", "Привет", "שלום"};
  for (const QString& name : names) AddItem(name.toStdString(), "Compact Disc");
  const print::Document& doc = Create(true);
  ASSERT_EQ(Rows(doc).size(), names.size());
  const std::string pdf = Path("scripts.pdf");
  ASSERT_TRUE(window_->Printer().WritePdf(pdf));

  // Every font the page uses is embedded: the reader needs none of its own.
  const auto fonts = printtest::RunTool("pdffonts", {QString::fromStdString(pdf)});
  ASSERT_TRUE(fonts) << "pdffonts (poppler-utils, installed by scripts/setup.sh) could not be run";
  const QStringList lines = fonts->split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_FALSE(lines.isEmpty());
  for (const QString& line : lines) EXPECT_TRUE(line.contains(" yes ")) << line.toStdString();

  // A title printed as empty boxes reads back as nothing (or as the
  // replacement character); a glyph of the embedded fonts reads back as the
  // very character typed, never as a radical of the same shape.
  const auto text = printtest::PdfText(QString::fromStdString(pdf));
  ASSERT_TRUE(text);
  for (const QString& name : names)
    EXPECT_TRUE(text->contains(name)) << name.toStdString() << " not in:\n" << text->toStdString();
}

TEST_F(StandardReport, PicturesDecideThePageEndAndSeparatorsStandBetweenRecords) {
  // Three inches tall: two records fit on the first page, the third would not.
  MakePicture("pics/cover.png", 100, 288);
  for (const char* name : {"One", "Two", "Three"})
    AddItem(name, "Compact Disc", {{"picture", "PICS\\Cover.PNG"}});
  const print::Document& doc = Create(false);
  ASSERT_EQ(doc.PageCount(), 2);
  auto names = Names(doc);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[2].page, 1);
  EXPECT_EQ(names[2].y, 770);  // at the top of the new page, with no separator above
  EXPECT_EQ(Separators(doc.pages[1]), 0);
  // Page one: the heading's separator and the one above the second record.
  EXPECT_EQ(Separators(doc.pages[0]), 2);
  std::vector<const print::PictureItem*> covers;
  for (const auto& page : doc.pages)
    for (const auto& pic : page.pictures)
      if (!IsSeparator(pic) && pic.picture.height() == 288) covers.push_back(&pic);
  ASSERT_EQ(covers.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(covers[i]->height, 288 * 15);
    EXPECT_EQ(covers[i]->x, 1440);
    EXPECT_GT(covers[i]->y, names[i].y);
  }
  // The catalogue line stands below the picture.
  const print::TextItem* catalog = Find(doc.pages[1], "Catalog #: ");
  ASSERT_TRUE(catalog);
  EXPECT_GE(catalog->y, covers[2]->y + covers[2]->height + 75);
  double separatorY = 0;
  for (const auto& pic : doc.pages[0].pictures)
    if (IsSeparator(pic)) separatorY = std::max(separatorY, pic.y);
  EXPECT_LT(separatorY, names[1].y);
  EXPECT_GT(separatorY, names[0].y);

  // Without pictures the same records share one page, a separator between each.
  const print::Document& plain = Create(false, 1, {0});
  EXPECT_EQ(plain.PageCount(), 1);
  EXPECT_EQ(Separators(plain.pages[0]), 3);
  EXPECT_EQ(plain.pages[0].pictures.size(), 4u);  // the heading picture and three separators
}

TEST_F(StandardReport, AMissingOrUnreadablePictureLeavesOnlyThatRecordWithout) {
  MakePicture("pics/good.png", 50, 40);
  {
    std::ofstream bad(Path("pics/bad.jpg"));
    bad << "not a picture";
  }
  AddItem("A Missing", "LP", {{"picture", "pics\\gone.jpg"}});
  AddItem("B Bad", "LP", {{"picture", "pics\\bad.jpg"}});
  AddItem("C Good", "LP", {{"picture", "pics\\GOOD.png"}});
  const print::Document& doc = Create(false);
  int covers = 0;
  for (const auto& pic : doc.pages[0].pictures) covers += pic.picture.height() == 40;
  EXPECT_EQ(covers, 1);
  EXPECT_EQ(NameTexts(doc), (std::vector<QString>{"A Missing", "B Bad", "C Good"}));
}

TEST_F(StandardReport, CompleteRecordLinesTextsAndPlaces) {
  AddItem("Full Record", "Compact Disc",
          {{"artist1", "Ann"}, {"artist2", "Bo"}, {"artist4", "Di"}, {"cat_number", "CD-7"},
           {"QRating", "A"}, {"rating", "5"}, {"RYear", vb::DateSerial(1999, 3, 4)},
           {"category", "Jazz"}, {"date_aquired", vb::DateSerial(2001, 12, 25)},
           {"format_type", "Stereo"}, {"format_type2", "DDD"}, {"Total_Time", "47:12"},
           {"SRatio", "4:3"}, {"sides", 2.0}, {"TapeIndex", "12"}, {"Tape_Speed", "SP"},
           {"serial", "SN-1"}, {"slot", 14}, {"emailid", "a@b.c"}, {"homepage", "example.org"},
           {"f1", "One"}, {"f1c", "First"}, {"f2c", "Second"}, {"f4", "Four"}, {"f3c", "Third"},
           {"f4c", "Fourth"}, {"f6c", "Unused"},
           {"title1", "T1"}, {"title2", "T2"}, {"title4", "T4"}, {"title40", "T40"},
           {"notes", "Some notes."}});
  const print::Document& doc = Create(false);
  ASSERT_EQ(doc.PageCount(), 1);
  const print::Page& page = doc.pages[0];
  auto at = [&](const QString& text) {
    const print::TextItem* t = Find(page, text);
    EXPECT_TRUE(t) << text.toStdString();
    return t ? *t : print::TextItem{};
  };
  const auto name = at("Full Record");
  EXPECT_EQ(name.x, 1440);
  EXPECT_EQ(at("Release Year: ").x, 8400);
  EXPECT_EQ(at("Release Year: ").y, name.y);
  EXPECT_TRUE(at("Release Year: ").font.bold);
  EXPECT_FALSE(at("03/04/1999").font.bold);

  const auto catalog = at("Catalog #: ");
  EXPECT_EQ(catalog.x, 1440);
  EXPECT_TRUE(catalog.font.bold);
  EXPECT_EQ(catalog.font.size, 8);
  EXPECT_EQ(at("Quality Rating: ").x, 3500);
  EXPECT_EQ(at("Rating: ").x, 6200);
  EXPECT_EQ(at("Media Type: ").x, 8500);
  EXPECT_EQ(at("Media Type: ").y, catalog.y);
  EXPECT_EQ(at("Compact Disc").y, catalog.y);

  EXPECT_EQ(at("Ann").x, 2140);
  EXPECT_EQ(at(",   Bo").y, at("Ann").y);
  EXPECT_TRUE(Find(page, ",   Di"));
  EXPECT_GT(at("Artists:").y, catalog.y);

  EXPECT_EQ(at("Label/Studio: ").x, 4600);
  EXPECT_EQ(at("Date Aquired: ").x, 8600);
  EXPECT_TRUE(Find(page, "12/25/2001"));
  EXPECT_EQ(at("Sound Format: ").x, 3800);
  EXPECT_EQ(at("Total Time:").x, 6800);

  // Ratios, sides and the tape part share one line.
  const auto ratio = at("Screen Aspect Ratio: ");
  EXPECT_EQ(at("Picture Aspect Ratio: ").x, 5000);
  EXPECT_EQ(at("# Sides: ").x, 8000);
  const auto sides = at("2");
  const auto tapeIndex = at("Tape Index#: ");
  EXPECT_EQ(tapeIndex.y, ratio.y);
  EXPECT_DOUBLE_EQ(tapeIndex.x, sides.x + sides.width);
  // The speed follows the index instead of going back over the picture ratio.
  const auto speed = at("Tape Speed: ");
  const auto indexValue = at("12");
  EXPECT_GT(speed.y, ratio.y);  // no room is left behind the index
  EXPECT_EQ(speed.x, 4000);
  EXPECT_EQ(at("SP").y, speed.y);
  EXPECT_LT(speed.y, at("CD Serial #: ").y);
  EXPECT_EQ(indexValue.y, ratio.y);

  EXPECT_EQ(at("CD Changer Slot #: ").x, 4000);
  EXPECT_TRUE(Find(page, "14"));
  EXPECT_EQ(at("Homepage: ").x, 6000);

  // User fields in pairs: a pair prints both labels when one value is filled.
  EXPECT_EQ(at("First: ").x, 1440);
  EXPECT_EQ(at("Second: ").x, 6000);
  EXPECT_EQ(at("Third: ").y, at("Fourth: ").y);
  EXPECT_FALSE(Find(page, "Unused: "));

  // Titles in pairs, an empty first title still leads its pair, title40
  // alone makes a line too.
  EXPECT_TRUE(Find(page, "Titles:"));
  EXPECT_EQ(at(",          T2").y, at("T1").y);
  EXPECT_TRUE(Find(page, ",          T4"));
  EXPECT_TRUE(Find(page, ",          T40"));
  EXPECT_GT(at("Notes:").y, at(",          T40").y);
  EXPECT_FALSE(at("Some notes.").font.bold);
}

TEST_F(StandardReport, OptionsLeaveTheirBlocksOut) {
  AddItem("Rec", "DVD",
          {{"category", "Drama"}, {"format_type", "Wide"}, {"SRatio", "16:9"}, {"serial", "S"},
           {"f1", "x"}, {"f1c", "Cap"}, {"title1", "Chapter One"}, {"notes", "Noted."},
           {"emailid", "m@x"}});
  const char* marks[] = {nullptr, "Cap: ", "Chapters:", "Category: ", "Format: ", "Screen Aspect Ratio: ", "Notes:"};
  for (int box = 1; box <= 6; ++box) {
    const print::Document& doc = Create(false, 1, {box});
    EXPECT_FALSE(HasText(doc, marks[box])) << box;
    for (int other = 1; other <= 6; ++other) {
      if (other != box) {
        EXPECT_TRUE(HasText(doc, marks[other])) << box << " " << other;
      }
    }
    EXPECT_EQ(HasText(doc, "CD Serial #: "), box != 5);
    EXPECT_TRUE(HasText(doc, "EMail ID: "));  // no option governs the web line
  }
}

TEST_F(StandardReport, HeadingsAndValuesThatAreNotWhatTheyShouldBe) {
  AddItem("A Soft", "Software", {{"title1", "Setup"}, {"RYear", dao::Variant::Null()}});
  AddItem("B Laser", "Laser Disc", {{"title1", "Side A"}});
  AddItem("C Late", "LP", {{"title2", "Only the second"}});
  // Too large for a 32-bit number: printed as it is stored.
  AddItem("D Huge", "LP", {{"sides", 3e12}, {"slot", -4}});
  AddItem("E Tape", "Video Tape", {{"TapeIndex", "3"}, {"Tape_Speed", "LP"}});
  const print::Document& doc = Create(false);
  EXPECT_EQ(StartingWith(doc, "Programs:").size(), 1u);
  EXPECT_EQ(StartingWith(doc, "Titles:").size(), 1u);  // the LP's block is left out: title1 is empty
  EXPECT_FALSE(HasText(doc, ",          Only the second"));
  EXPECT_FALSE(HasText(doc, "Release Year: "));
  const print::TextItem* sides = Find(doc.pages[0], "# Sides: ");
  ASSERT_TRUE(sides);
  bool printed = false;
  for (const auto& t : Texts(doc.pages[0]))
    if (t.y == sides->y && t.x > sides->x) printed = t.text == QString::fromStdString(vb::CStr(3e12));
  EXPECT_TRUE(printed);
  EXPECT_FALSE(HasText(doc, "CD Changer Slot #: "));  // a slot below 1 is no slot
  // A tape alone on its line keeps the speed's own column.
  const print::TextItem* tape = Find(doc.pages[0], "Tape Index#: ");
  const print::TextItem* speed = Find(doc.pages[0], "Tape Speed: ");
  ASSERT_TRUE(tape && speed);
  EXPECT_EQ(tape->x, 1440);
  EXPECT_EQ(speed->x, 4000);
  EXPECT_EQ(speed->y, tape->y);
}

// A date another program stored far outside the calendar is no date: the
// report prints no made-up day for it, as the window shows none.
TEST_F(StandardReport, ADateStoredFarOutsideTheCalendarPrintsNoMadeUpDay) {
  AddItem("A Far", "Compact Disc", {{"category", "Jazz"}});
  AddItem("B Near", "Compact Disc", {{"category", "Blues"}, {"date_aquired", vb::DateSerial(2001, 12, 25)}});
  const auto wrote = printtest::RunTool(
      "sqlite3", {QString::fromStdString(db_->Name()),
                  "update mediadata set date_aquired = 1e300, RYear = -1e300 where name = 'A Far'"});
  ASSERT_TRUE(wrote) << "sqlite3 could not be run";
  Create(false);
  const std::string pdf = Path("far.pdf");
  ASSERT_TRUE(window_->Printer().WritePdf(pdf));
  const auto text = printtest::PdfText(QString::fromStdString(pdf));
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains("12/25/2001")) << text->toStdString();
  EXPECT_EQ(text->count("Date Aquired:"), 2) << text->toStdString();
  EXPECT_FALSE(text->contains("Release Year:")) << text->toStdString();
  for (const char* made : {"2030437201", "/0000", "/-"}) EXPECT_FALSE(text->contains(made)) << made;
}

TEST_F(StandardReport, FromTheSelectorWithTheSectionsCaptions) {
  db_->Execute("update cdcaption set f1 = 'Producer', f2 = 'Studio'");
  AddItem("Disc", "Compact Disc", {{"SectionNumber", dao::Variant::Byte(2)}, {"f2", "Abbey Road"}});
  AddItem("Tape", "Video Tape", {{"SectionNumber", dao::Variant::Byte(6)}});
  auto& m = tvn::reports::Module();
  tvn::reports::MarkStandardSelection(db_, m, 2, 1, "");
  ASSERT_EQ(m.ReportType, 6);
  RptForm& w = OpenWindow(m.ReportType, m.SectionList);
  EXPECT_FALSE(w.R6SortOption[2]->isVisible());
  w.CreateButton->click();
  const print::Document& doc = w.Printer().document();
  EXPECT_EQ(NameTexts(doc), (std::vector<QString>{"Disc"}));
  EXPECT_TRUE(HasText(doc, "Compact Disks"));
  const print::TextItem* first = Find(doc.pages[0], "Producer: ");
  const print::TextItem* second = Find(doc.pages[0], "Studio: ");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->x, 6000);
  EXPECT_TRUE(Find(doc.pages[0], "Abbey Road"));
}

// Every field of a record as long as the field allows, in the widest
// letter: each value is printed whole (no letter cut), wraps inside its own
// column, and no text prints over another or past the right margin.
TEST_F(StandardReport, CompleteRecordValuesAsLongAsTheirFieldsWrapInTheirColumns) {
  std::map<std::string, dao::Variant> values;
  std::size_t letters = 50;  // the name
  const auto wide = [&](const std::string& field, std::size_t size) {
    values[field] = std::string(size, 'W');
    letters += size;
  };
  for (const char* field : {"artist1", "artist2", "artist3", "artist4", "cat_number", "category", "labelstudio",
                            "format_type", "format_type2", "serial", "emailid", "homepage", "f1", "f2", "f3"})
    wide(field, 50);
  wide("QRating", 10);
  wide("rating", 4);
  wide("Total_Time", 10);
  for (const char* field : {"SRatio", "PRatio", "TapeIndex"}) wide(field, 10);
  wide("Tape_Speed", 2);
  values["sides"] = 2.0;
  values["RYear"] = vb::DateSerial(1999, 3, 4);
  values["date_aquired"] = vb::DateSerial(2001, 12, 25);
  values["slot"] = 32767;
  values["f1c"] = std::string(50, 'x');  // a caption as long as it may be
  values["f2c"] = "Second";
  AddItem(std::string(50, 'W'), "Compact Disc", values);
  const print::Document& doc = Create(false);
  std::size_t printed = 0;
  for (const auto& page : doc.pages) {
    for (const auto& t : Texts(page)) {
      // The values' pieces: the heading's date may hold a W of its own.
      if (t.text.count('W') == t.text.size()) printed += static_cast<std::size_t>(t.text.size());
      EXPECT_LE(t.x + t.width, 12240 - 1440 + 0.5) << t.text.toStdString();
    }
    for (const std::string& pair : printtest::OverlappingTexts(page)) ADD_FAILURE() << "overprinted: " << pair;
  }
  EXPECT_EQ(printed, letters) << "a value is cut";
}

}  // namespace

// The game report writers on a small game collection: the one-line table
// with its totals, the five orders, the complete entries and their parts,
// and the five lookup lists.
#include <gtest/gtest.h>

#include <algorithm>

#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "games/reports/tests/GameReportSupport.h"
#include "platform/print/Printer.h"
#include "platform/print/tests/Overlaps.h"
#include "platform/runtime/Functions.h"

namespace {

using Rows = std::vector<std::vector<QString>>;

class GameWriters : public tvntest::GameReportTest {
 protected:
  void SetUp() override {
    GameReportTest::SetUp();
    const long nin = AddLookup("publisher", "Nin");
    const long atari = AddLookup("publisher", "Atari");
    const long rare = AddLookup("developer", "Rare");
    const long puzzle = AddLookup("genre", "Puzzle");
    const long action = AddLookup("genre", "Action");
    tetris_ = AddGame("Tetris", 1, nin, rare, puzzle,
                      {{"date_released", vb::DateSerial(1989, 6, 14)}, {"f1", "Cartridge"}, {"f2", "Grey"},
                       {"rating", "E"}, {"notes", "Bundled"}});
    AddGame("Asteroids", 6, atari, 0, action);
    AddGame("Ico", 3, 0, rare, action);
    AddGame("Kirby", 1, nin, 0, 0);
    AddGame("Halo", 5, 0, 0, action);
    pl::MarkGameRecords(*db_, {});
    pl::GameReports().ReportType = pl::kFullGameReport;
  }
  const print::Document& Full(const pl::FullGameReportOptions& options) {
    pl::PrintFullGameReport(printer_, options);
    return printer_.document();
  }
  static pl::FullGameReportOptions OneLine(int sort = 0) {
    pl::FullGameReportOptions o;
    o.oneLine = true;
    o.sortOrder = sort;
    return o;
  }
  std::vector<QString> Column(int sort, size_t column) {
    std::vector<QString> out;
    for (const auto& row : TableRows(Full(OneLine(sort)))) out.push_back(row.at(column));
    return out;
  }
  std::vector<QString> Lines(const print::Document& doc) {
    std::vector<QString> out;
    for (const auto& t : Texts(doc)) out.push_back(t.text);
    return out;
  }
  print::Printer printer_;
  long tetris_ = 0;
};

TEST_F(GameWriters, OneLineTableListsTheMarkedGamesWithTotalsPerSection) {
  pl::GameReports().ReportTitle = "Genre Report";
  pl::GameReports().ReportSubtitle = "for Nin";
  db_->Execute("update mediadata set printrecord = false where name = 'Halo'");
  const print::Document& doc = Full(OneLine());
  ASSERT_FALSE(doc.pages.empty());
  EXPECT_GT(doc.pages[0].width, doc.pages[0].height);  // landscape
  EXPECT_EQ(TableRows(doc), (Rows{{"Asteroids", "Other", "Atari", "", "Action"},
                                  {"Ico", "Sony", "", "Rare", "Action"},
                                  {"Kirby", "Gameboy", "Nin", "", ""},
                                  {"Tetris", "Gameboy", "Nin", "Rare", "Puzzle"}}));
  ASSERT_FALSE(doc.pages[0].tables.empty());
  EXPECT_EQ(doc.pages[0].tables[0].rows[0].cells[0].text, "Name");
  EXPECT_EQ(doc.pages[0].tables[0].headerShade, 65535);
  EXPECT_TRUE(HasText(doc, "Total Gameboy = 2"));
  EXPECT_TRUE(HasText(doc, "Total Sony = 1"));
  EXPECT_TRUE(HasText(doc, "Total Other = 1"));
  EXPECT_FALSE(HasText(doc, "Total Microsoft = 1"));  // unmarked
  EXPECT_FALSE(HasText(doc, "Total Nintendo = 0"));
  // Its own heading; the list report's subtitle is gone.
  EXPECT_EQ(pl::GameReports().ReportTitle, "Game Report");
  EXPECT_TRUE(HasText(doc, "Game Report"));
  EXPECT_FALSE(HasText(doc, "Genre Report"));
  EXPECT_FALSE(HasText(doc, "for Nin"));
  EXPECT_EQ(printer_.Orientation(), print::kPortrait);
}

TEST_F(GameWriters, FiveOrdersAndSectionOrderIsBySectionName) {
  EXPECT_EQ(Column(0, 0), (std::vector<QString>{"Asteroids", "Halo", "Ico", "Kirby", "Tetris"}));
  // Games without a publisher first, equal publishers by name.
  EXPECT_EQ(Column(1, 0), (std::vector<QString>{"Halo", "Ico", "Asteroids", "Kirby", "Tetris"}));
  EXPECT_EQ(Column(2, 0), (std::vector<QString>{"Asteroids", "Halo", "Kirby", "Ico", "Tetris"}));
  EXPECT_EQ(Column(3, 0), (std::vector<QString>{"Kirby", "Asteroids", "Halo", "Ico", "Tetris"}));
  EXPECT_EQ(Column(4, 1), (std::vector<QString>{"Gameboy", "Gameboy", "Microsoft", "Other", "Sony"}));
  EXPECT_EQ(Column(4, 0), (std::vector<QString>{"Kirby", "Tetris", "Halo", "Asteroids", "Ico"}));
}

TEST_F(GameWriters, CellsKeepApostrophesAmpersandsBarsAndSemicolons) {
  const long odd = AddLookup("publisher", "Bob's | Co; Ltd & Sons");
  AddGame("A|B;C's & D", 2, odd);
  pl::MarkGameRecords(*db_, {});
  const Rows rows = TableRows(Full(OneLine()));
  const std::vector<QString> odd_row{"A|B;C's & D", "Nintendo", "Bob's | Co; Ltd & Sons", "", ""};
  EXPECT_NE(std::find(rows.begin(), rows.end(), odd_row), rows.end());
  EXPECT_EQ(rows.size(), 6u);
}

TEST_F(GameWriters, CompleteEntryPrintsTheTickedPartsOnly) {
  db_->Execute("update mediadata set printrecord = (name = 'Tetris')");
  pl::FullGameReportOptions none;
  none.parts.fill(false);
  const print::Document& bare = Full(none);
  EXPECT_LT(bare.pages[0].width, bare.pages[0].height);  // portrait
  const std::vector<QString> lines = Lines(bare);
  auto has = [&lines](const char* text) { return std::count(lines.begin(), lines.end(), QString(text)) > 0; };
  for (const char* text : {"Tetris", "Date Released: ", "06/14/1989", "Section: ", "Gameboy", "Date Aquired: ",
                           "Publisher: ", "Nin", "Developer: ", "Rare", "Genre: ", "Puzzle"})
    EXPECT_TRUE(has(text)) << text;
  for (const char* text : {"Best Feature", "Rating: ", "System Types", "Supports", "My Field 1: ", "Hints/Tips",
                           "Instructions", "Notes"})
    EXPECT_FALSE(has(text)) << text;
  EXPECT_TRUE(TableRows(bare).empty());
  EXPECT_FALSE(has("Total Gameboy = 1"));
  for (const auto& t : Texts(bare))
    if (t.text == "Tetris") {
      EXPECT_TRUE(t.font.bold && t.font.size == 10);
    }

  Link("systypemedia", tetris_, AddSysType("Handheld"));
  Link("supportsmedia", tetris_, AddSupport("Link cable"));
  db_->Execute("update gbcaption set f1 = 'Media', f2 = 'Colour'");
  const std::vector<QString> all = Lines(Full({}));
  auto hasAll = [&all](const QString& text) { return std::count(all.begin(), all.end(), text) > 0; };
  for (const char* text : {"Best Feature", "Worst Feature", "Rating: ", "E", "Format: ", "# Players: ",
                           "System Types", "Supports", "Media: ", "Cartridge", "Colour: ", "Grey", "My Field 3: ",
                           "Hints/Tips", "Instructions", "Notes", "Bundled"})
    EXPECT_TRUE(hasAll(text)) << text;
  EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const QString& t) { return t.startsWith("Handheld"); }));
  EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const QString& t) { return t.startsWith("Link cable"); }));
}

// A game whose every field is as long as the field allows, in the widest
// letter: each value is printed whole (no letter cut), wraps inside its own
// column, and no text prints over another or past the right margin.
TEST_F(GameWriters, CompleteEntryValuesAsLongAsTheirFieldsWrapInTheirColumns) {
  const std::string wide(50, 'W');
  std::size_t letters = 0;
  std::map<std::string, dao::Variant> values{{"date_released", vb::DateSerial(1999, 3, 4)},
                                             {"date_aquired", vb::DateSerial(2001, 12, 25)}};
  for (const char* field : {"rating", "Format", "bestfeature", "worstfeature"}) values[field] = wide;
  values["players"] = std::string(10, 'W');
  for (int i = 1; i <= 10; ++i) values["f" + std::to_string(i)] = wide;
  letters += 4 * 50 + 10 + 10 * 50;
  db_->Execute("update gbcaption set f1 = '" + std::string(50, 'x') + "', f2 = 'Second'");
  const long publisher = AddLookup("publisher", wide);
  const long developer = AddLookup("developer", wide);
  const long genre = AddLookup("genre", wide);
  letters += 3 * 50;
  AddGame(wide, 1, publisher, developer, genre, values);
  letters += 50;
  db_->Execute("update mediadata set printrecord = (name = '" + wide + "')");
  const print::Document& doc = Full({});
  std::size_t printed = 0;
  for (const auto& page : doc.pages) {
    for (const auto& t : page.texts) {
      // The values' pieces: the heading's date may hold a W of its own.
      if (t.text.count('W') == t.text.size()) printed += static_cast<std::size_t>(t.text.size());
      EXPECT_LE(t.x + t.width, 12240 - 1440 + 0.5) << t.text.toStdString();
    }
    for (const std::string& pair : printtest::OverlappingTexts(page)) ADD_FAILURE() << "overprinted: " << pair;
  }
  EXPECT_EQ(printed, letters) << "a value is cut";
}

TEST_F(GameWriters, PersonalFieldCaptionsOutsideTheSixSectionsAndWithoutACaptionRow) {
  db_->Execute("update mediadata set printrecord = (name = 'Tetris')");
  db_->Execute("update mediadata set sectionnumber = 9");
  pl::FullGameReportOptions fields;
  fields.parts.fill(false);
  fields.parts[4] = true;
  std::vector<QString> lines = Lines(Full(fields));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "My Field 1: "), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "My Field 10: "), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Cartridge"), lines.end());

  db_->Execute("update mediadata set sectionnumber = 1");
  db_->Execute("delete from gbcaption");
  lines = Lines(Full(fields));
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "Cartridge"), lines.end());
}

TEST_F(GameWriters, NoMarkedGamesGivesTheFrameOnly) {
  db_->Execute("update mediadata set printrecord = false");
  const print::Document& doc = Full(OneLine());
  EXPECT_EQ(doc.pages.size(), 1u);
  EXPECT_TRUE(TableRows(doc).empty());
  EXPECT_TRUE(HasText(doc, "Game Report"));
  EXPECT_FALSE(HasText(doc, "Total Gameboy = 2"));
}

TEST_F(GameWriters, ListReportsShowTheConsoleFlagsInNameOrder) {
  AddLookup("developer", "Zed", {"GBOn", "OtherOn"});
  AddLookup("developer", "alpha", {});
  db_->Execute("update developer set NTOn = null where artist_name = 'alpha'");
  auto& m = pl::GameReports();
  m.ReportType = pl::kDeveloperList;
  pl::PrintListReport(printer_, "developer", "artist_name");
  const print::Document& doc = printer_.document();
  EXPECT_GT(doc.pages[0].width, doc.pages[0].height);
  EXPECT_EQ(TableRows(doc), (Rows{{"alpha", "No", "No", "No", "No", "No", "No"},
                                  {"Rare", "No", "No", "No", "No", "No", "No"},
                                  {"Zed", "Yes", "No", "No", "No", "No", "Yes"}}));
  std::vector<QString> header;
  for (const auto& c : doc.pages[0].tables[0].rows[0].cells) header.push_back(c.text);
  EXPECT_EQ(header, (std::vector<QString>{"Name", "Ganmeboy", "Nintendo", "Sont", "Sega", "Microsoft", "Other"}));
  EXPECT_TRUE(HasText(doc, "Developer Report"));

  m.ReportType = pl::kPublisherList;
  pl::PrintListReport(printer_, "publisher", "labelstudio_name");
  EXPECT_EQ(TableRows(printer_.document()).front().front(), "Atari");
  EXPECT_TRUE(HasText(printer_.document(), "Publisher Report"));
  m.ReportType = pl::kGenreList;
  pl::PrintListReport(printer_, "genre", "category");
  EXPECT_EQ(TableRows(printer_.document()).front().front(), "Action");
  EXPECT_TRUE(HasText(printer_.document(), "Genre Report"));

  db_->Execute("delete from genre");
  pl::PrintListReport(printer_, "genre", "category");
  EXPECT_TRUE(printer_.document().pages[0].tables.empty());
}

TEST_F(GameWriters, SupportsAndSystemTypeListsCarryTheirOwnHeadings) {
  AddSupport("Rumble");
  AddSupport("Link cable");
  AddSysType("Handheld");
  AddSysType("Console");
  auto& m = pl::GameReports();
  m.ReportType = pl::kSupportsList;
  pl::PrintSupportsReport(printer_, "supports", "name");
  std::vector<QString> lines = Lines(printer_.document());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Supports Report"), lines.end());
  auto link = std::find(lines.begin(), lines.end(), "Link cable");
  ASSERT_NE(link, lines.end());
  EXPECT_EQ(*(link + 1), "Rumble");

  m.ReportType = pl::kSysTypeList;
  pl::PrintSupportsReport(printer_, "systype", "systype");
  lines = Lines(printer_.document());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "System Type Report"), lines.end());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "Supports Report"), lines.end());
  auto console = std::find(lines.begin(), lines.end(), "Console");
  ASSERT_NE(console, lines.end());
  EXPECT_EQ(*(console + 1), "Handheld");
}

}  // namespace

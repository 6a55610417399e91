// The artist, label/studio and category reports on a small collection:
// which entries are listed, in which order and where, and the section
// words and table cells the writers set.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <algorithm>

#include "platform/print/Printer.h"
#include "reports/LookupReports.h"
#include "reports/ReportModule.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RptForm;

class LookupReports : public tvntest::ReportTest {
 protected:
  const print::Document& Create(RptForm& w, std::initializer_list<int> ticked = {0, 1, 2, 3, 4, 5}) {
    for (auto* box : w.R8Check) box->setChecked(false);
    for (int i : ticked) w.R8Check[i]->setChecked(true);
    w.CreateButton->click();
    return w.Printer().document();
  }
  // The names printed bold at size 10 (the card names), in page order.
  static std::vector<std::pair<QString, double>> CardNames(const print::Document& doc) {
    std::vector<std::pair<QString, double>> names;
    for (const auto& page : doc.pages)
      for (const auto& t : Texts(page))
        if (t.font.bold && t.font.size == 10) names.push_back({t.text, t.x});
    return names;
  }
  static std::vector<QString> Names(const print::Document& doc) {
    std::vector<QString> out;
    for (auto& [name, x] : CardNames(doc)) out.push_back(name);
    return out;
  }
};

TEST_F(LookupReports, SectionBoxesChooseTheArtistsAndNoBoxMeansUsedInNoSection) {
  AddArtist("Enya", {});
  AddArtist("abba", {"cas"});
  AddArtist("Beck", {"lp"});
  AddArtist("Cher", {"cd"});
  AddArtist("Dido", {});
  // An old file may hold no value at all in the flags.
  db_->Execute("update artists set cas = null, cd = null, dvd = null, vt = null, lp = null, scd = null "
               "where artist_name = 'Enya'");
  RptForm& w = OpenWindow(8);
  EXPECT_EQ(Names(Create(w, {0, 4})), (std::vector<QString>{"abba", "Beck"}));
  EXPECT_EQ(Names(Create(w, {})), (std::vector<QString>{"Dido", "Enya"}));
  EXPECT_EQ(Names(Create(w)), (std::vector<QString>{"abba", "Beck", "Cher"}));
  EXPECT_EQ(tvn::reports::Module().ReportTitle, "Artist's Report");
  EXPECT_TRUE(HasText(w.Printer().document(), "Artist's Report"));
  EXPECT_TRUE(HasText(w.Printer().document(), "The Tavolin"));
}

TEST_F(LookupReports, SectionFilterJoinsTheTickedFlagsInOrder) {
  std::string where = tvn::reports::BuildSectionWhere("", "CAS");
  EXPECT_EQ(where, "where CAS");
  EXPECT_EQ(tvn::reports::BuildSectionWhere(where, "LP"), "where CAS or LP");
}

TEST_F(LookupReports, CardsStandInPairsWithTheirDetailsAndSectionWords) {
  AddArtist("Abba", {"cas", "lp", "dvd", "scd"}, "", "Swedish");
  AddArtist("Beck", {"cd"});
  AddArtist("Cher", {"vt"});
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  auto names = CardNames(doc);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].second, 1440);
  EXPECT_EQ(names[1].second, 6500);
  EXPECT_EQ(names[2], (std::pair<QString, double>{"Cher", 1440}));  // the odd one stands alone
  const print::Page& page = doc.pages[0];
  EXPECT_TRUE(Find(page, "Nationality: ") && Find(page, "Swedish"));
  EXPECT_EQ(Find(page, "Swedish")->font.bold, false);
  EXPECT_FALSE(Find(page, "Affiliation: "));  // empty values print no label
  const print::TextItem* first = Find(page, "Cassette/Mini Disc     LP");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->x, 1440 + 300);
  const print::TextItem* second = Find(page, "DVD/Laser Disc     Software");
  ASSERT_TRUE(second);
  EXPECT_GT(second->y, first->y);
  const print::TextItem* beck = Find(page, "Compact Disc     ");
  ASSERT_TRUE(beck);
  EXPECT_EQ(beck->x, 6500 + 300);
  EXPECT_EQ(beck->y, first->y);
  EXPECT_TRUE(Find(page, "Video Tape     "));
  EXPECT_EQ(doc.PageCount(), 1);
}

TEST_F(LookupReports, TheNextPairStartsBelowTheLongerNotes) {
  const std::string longNotes(600, 'n');
  std::string words;
  for (int i = 0; i < 80; ++i) words += "word ";
  AddArtist("Abba", {"cas"}, "Short.");
  AddArtist("Beck", {"cas"}, words);
  AddArtist("Cher", {"cas"});
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  const print::Page& page = doc.pages[0];
  double lowestNote = 0, noteLeft = 1e9, noteRight = 0;
  for (const auto& t : Texts(page)) {
    if (t.text.startsWith("word")) {
      lowestNote = std::max(lowestNote, t.y);
      noteLeft = std::min(noteLeft, t.x);
      noteRight = std::max(noteRight, t.x + t.width);
    }
  }
  EXPECT_GE(noteLeft, 6800);
  EXPECT_LE(noteRight, 12240 - 1440 + 1);
  const print::TextItem* shortNote = Find(page, "Short.");
  ASSERT_TRUE(shortNote);
  EXPECT_EQ(shortNote->x, 1740);
  const print::TextItem* cher = Find(page, "Cher");
  ASSERT_TRUE(cher);
  // One line below the last note line, then 400 more.
  EXPECT_GT(cher->y, lowestNote + 400);
  EXPECT_LT(cher->y, lowestNote + 400 + 2 * 300);
}

TEST_F(LookupReports, AFullPageOfCardsContinuesOnTheNext) {
  db_->BeginTrans();
  for (int i = 0; i < 40; ++i) AddArtist("Artist " + std::to_string(10 + i), {"cd"});
  db_->CommitTrans();
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  ASSERT_GE(doc.PageCount(), 2);
  // Every page of cards begins at the top margin with a left card.
  auto firstOnPage = Texts(doc.pages[1]);
  ASSERT_FALSE(firstOnPage.empty());
  EXPECT_EQ(Names(doc).size(), 40u);
  for (const auto& page : doc.pages)
    for (const auto& t : Texts(page)) EXPECT_LE(t.y, 15840 - 770) << t.text.toStdString();
}

TEST_F(LookupReports, LabelStudioCardsCarryTheirOwnDetails) {
  tvntest::AddRow(db_, "labelstudio",
                  {{"labelstudio_name", "Motown"}, {"labelstudio_location", "Detroit"}, {"lsemail", "info@m.example"},
                   {"lswww", ""}, {"cd", true}, {"cas", false}, {"dvd", false}, {"vt", false}, {"lp", false},
                   {"scd", false}, {"labelstudio_notes", "Soul."}});
  RptForm& w = OpenWindow(10);
  const print::Document& doc = Create(w);
  const print::Page& page = doc.pages[0];
  EXPECT_TRUE(Find(page, "Lbel/Studio Report"));
  EXPECT_TRUE(Find(page, "Motown"));
  EXPECT_TRUE(Find(page, "Location: ") && Find(page, "Detroit"));
  EXPECT_TRUE(Find(page, "Email ID: ") && Find(page, "info@m.example"));
  EXPECT_FALSE(Find(page, "Homepage: "));
  EXPECT_TRUE(Find(page, "Notes:") && Find(page, "Soul."));
}

TEST_F(LookupReports, CategoriesFormOneTableWithMarksAndIntactCells) {
  auto add = [&](const std::string& name, std::vector<std::string> flags) {
    std::map<std::string, dao::Variant> v{{"category", name}};
    for (const char* f : {"cas", "cd", "dvd", "vt", "lp", "scd"}) v[f] = false;
    for (auto& f : flags) v[f] = true;
    tvntest::AddRow(db_, "category", v);
  };
  add("Rock", {"dvd", "lp"});
  add("Jazz; Blues | Soul", {"cas"});
  add("Ambient", {});
  RptForm& w = OpenWindow(9);
  w.CreateButton->click();
  const print::Document& doc = w.Printer().document();
  ASSERT_EQ(doc.PageCount(), 1);
  ASSERT_EQ(doc.pages[0].tables.size(), 1u);
  const print::TableItem& table = doc.pages[0].tables[0];
  ASSERT_EQ(table.rows.size(), 4u);
  EXPECT_TRUE(table.rows[0].header);
  EXPECT_EQ(table.headerShade, 0xC0C0FF);
  ASSERT_EQ(table.columnWidths.size(), 7u);
  EXPECT_EQ(table.columnWidths[0], 1.8 * 1440);
  EXPECT_EQ(table.columnAlign[1], '^');
  auto cells = [&](int row) {
    std::vector<QString> out;
    for (auto& c : table.rows[row].cells) out.push_back(c.text);
    return out;
  };
  EXPECT_EQ(cells(0), (std::vector<QString>{"Category", "Cassette", "CD\nMini Disc", "DVD\nLaser Disk", "Video Tape",
                                            "LP", "Software"}));
  EXPECT_EQ(cells(1), (std::vector<QString>{"Ambient", "", "", "", "", "", ""}));
  EXPECT_EQ(cells(2), (std::vector<QString>{"Jazz; Blues | Soul", "X", "", "", "", "", ""}));
  EXPECT_EQ(cells(3), (std::vector<QString>{"Rock", "", "", "X", "", "X", ""}));
  for (int r = 0; r < 4; ++r) EXPECT_TRUE(table.rows[r].cells[0].bold) << r;
  for (auto& c : table.rows[0].cells) EXPECT_TRUE(c.bold);
  EXPECT_FALSE(table.rows[3].cells[3].bold);
  EXPECT_TRUE(HasText(doc, "Category Report"));
}

TEST_F(LookupReports, EmptyTablesGiveTheHeadingAlone) {
  RptForm& w = OpenWindow(9);
  w.CreateButton->click();
  EXPECT_EQ(w.Printer().PageCount(), 1);
  EXPECT_TRUE(w.Printer().document().pages[0].tables.empty());
  EXPECT_TRUE(HasText(w.Printer().document(), "Category Report"));
  RptForm& a = OpenWindow(8);
  a.CreateButton->click();
  EXPECT_TRUE(Names(a.Printer().document()).empty());
  EXPECT_TRUE(HasText(a.Printer().document(), "Artist's Report"));
}

}  // namespace

namespace {

TEST_F(LookupReports, LongNotesAcrossAPageEndStayOnThePaper) {
  std::string words;
  for (int i = 0; i < 400; ++i) words += "note" + std::to_string(i) + " ";
  db_->BeginTrans();
  for (int i = 0; i < 12; ++i) AddArtist("Artist " + std::to_string(10 + i), {"cd"}, words);
  db_->CommitTrans();
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  ASSERT_GE(doc.PageCount(), 3);
  EXPECT_EQ(Names(doc).size(), 12u);
  for (const auto& page : doc.pages)
    for (const auto& t : Texts(page)) {
      EXPECT_LE(t.y, 15840 - 770) << t.text.toStdString();
      EXPECT_LE(t.x + t.width, 12240 - 1440 + 1) << t.text.toStdString();
    }
}

}  // namespace

namespace {

// Words that tell which card a printed piece belongs to.
std::string Words(const std::string& tag, int count) {
  std::string words;
  for (int i = 0; i < count; ++i) words += tag + std::to_string(i) + " ";
  return words;
}

struct Placed {
  int page;
  double x, y, right;
};
// Every piece of the document whose text holds tag.
std::vector<Placed> Pieces(const print::Document& doc, const QString& tag) {
  std::vector<Placed> out;
  for (std::size_t p = 0; p < doc.pages.size(); ++p)
    for (const auto& t : doc.pages[p].texts)
      if (!t.header && t.text.contains(tag)) out.push_back({static_cast<int>(p), t.x, t.y, t.x + t.width});
  return out;
}

// Each card keeps to its column: the left card's texts end before the
// right card begins, the right card's never wrap back under the left one,
// and the two cards of a pair start their rows side by side.
TEST_F(LookupReports, EachCardKeepsToItsOwnColumn) {
  // Names of the longest kind (50 characters) and long details.
  AddArtist(("A" + Words("Lname", 8)).substr(0, 50), {"cas"}, Words("Lnote", 30), Words("Lnat", 20));
  AddArtist(("B" + Words("Rname", 8)).substr(0, 50), {"cd"}, Words("Rnote", 30), Words("Rnat", 20));
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  for (const char* tag : {"Lname", "Lnote", "Lnat"})
    for (const Placed& piece : Pieces(doc, tag)) {
      EXPECT_LT(piece.right, 6500) << tag;
      EXPECT_GE(piece.x, 1440) << tag;
    }
  for (const char* tag : {"Rname", "Rnote", "Rnat"})
    for (const Placed& piece : Pieces(doc, tag)) EXPECT_GE(piece.x, 6500) << tag;
  for (const char* tag : {"name1", "nat0", "note0"}) {
    const auto left = Pieces(doc, QString("L") + tag), right = Pieces(doc, QString("R") + tag);
    ASSERT_FALSE(left.empty());
    ASSERT_FALSE(right.empty());
    EXPECT_EQ(left.front().page, right.front().page) << tag;
    EXPECT_EQ(left.front().y, right.front().y) << tag;
  }
}

// When the notes of a pair cross a page end, both cards' notes run on
// line beside line: the right card's notes do not start over on the next
// page at their old height and spill onto a page of their own.
TEST_F(LookupReports, NotesAcrossAPageEndGoOnSideBySide) {
  db_->BeginTrans();
  for (int i = 0; i < 8; ++i)
    AddArtist("Artist " + std::to_string(10 + i), {"cd"}, Words("a" + std::to_string(10 + i) + "w", 200));
  db_->CommitTrans();
  RptForm& w = OpenWindow(8);
  const print::Document& doc = Create(w);
  bool crossed = false;
  for (int i = 10; i < 18; i += 2) {
    const auto left = Pieces(doc, QString("a%1w").arg(i));
    const auto right = Pieces(doc, QString("a%1w").arg(i + 1));
    ASSERT_FALSE(left.empty());
    ASSERT_FALSE(right.empty());
    for (std::size_t k = 0; k < std::min(left.size(), right.size()); ++k) {
      EXPECT_EQ(left[k].page, right[k].page) << i << " line " << k;
      EXPECT_EQ(left[k].y, right[k].y) << i << " line " << k;
    }
    crossed = crossed || left.front().page != left.back().page;
  }
  EXPECT_TRUE(crossed) << "some pair's notes should cross a page end";
  // No page holds only the tail of a right card's notes.
  for (const auto& page : doc.pages) {
    bool anyLeft = false;
    for (const auto& t : Texts(page)) anyLeft = anyLeft || t.x < 6500;
    EXPECT_TRUE(anyLeft);
  }
}

}  // namespace

// The compact disc changer report in its three groupings, made from the
// report window on a small collection: which discs each grouping lists,
// in which order, under which headings, and where the lines stand.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>

#include "platform/print/Printer.h"
#include "reports/ReportModule.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RptForm;

class ChangerReport : public tvntest::ReportTest {
 protected:
  void Disc(const std::string& name, const dao::Variant& artist1, const dao::Variant& player,
            const dao::Variant& group, const dao::Variant& slot, int section = 2,
            const dao::Variant& artist2 = dao::Variant::Null()) {
    tvntest::AddRow(db_, "mediadata",
                    {{"name", name},
                     {"section", std::string(section == 2 ? "Compact Disc" : "Cassette")},
                     {"SectionNumber", dao::Variant::Byte(static_cast<std::uint8_t>(section))},
                     {"artist1", artist1},
                     {"artist2", artist2},
                     {"player", player},
                     {"grpnum", group},
                     {"slot", slot},
                     {"pr1", section != 2}});  // the report ignores the marks
  }
  void Sample() {
    const dao::Variant null = dao::Variant::Null();
    Disc("Alpha", "Smith", "Rack", dao::Variant::Byte(1), 3);
    Disc("Beta", "O'Hara", "Rack", null, 1);
    Disc("Gamma", null, null, null, null);
    Disc("Epsilon", "smith", "O'Neil", dao::Variant::Byte(2), 2, 2, "Jones");
    Disc("Delta", "Smith", "Rack", dao::Variant::Byte(1), 5, 1);
  }
  const print::Document& Create(int grouping) {
    RptForm& w = OpenWindow(7, "");
    w.R7SortOption[grouping]->setChecked(true);
    w.CreateButton->click();
    return w.Printer().document();
  }
  // The report's own lines: what stands below the heading block.
  static std::vector<print::TextItem> Body(const print::Document& doc) {
    std::vector<print::TextItem> out;
    for (const auto& page : doc.pages)
      for (const auto& t : Texts(page))
        if (t.font.size <= 10 && !t.font.italic && t.text != "The Tavolin") out.push_back(t);
    return out;
  }
  static std::vector<QString> Names(const print::Document& doc) {
    std::vector<QString> out;
    for (const auto& t : Body(doc))
      if (t.x == 1440 && !t.font.bold) out.push_back(t.text);
    return out;
  }
  static std::vector<QString> Headings(const print::Document& doc) {
    std::vector<QString> out;
    for (const auto& t : Body(doc))
      if (t.font.bold && t.font.size == 10) out.push_back(t.text);
    return out;
  }
  // The text at x on the line of the disc's name.
  static QString Beside(const print::Document& doc, const QString& name, double x) {
    const print::TextItem* line = Find(doc.pages[0], name);
    if (!line) return "(no line)";
    for (const auto& t : Texts(doc.pages[0]))
      if (t.x == x && t.y == line->y) return t.text;
    return "(nothing)";
  }
  static double Line8() { return print::LineHeight(print::FontSpec{"arial", 8}); }
};

TEST_F(ChangerReport, ByArtistEachFirstArtistOnceEachDiscOnce) {
  Sample();
  const dao::Variant null = dao::Variant::Null();
  Disc("Zeta", std::string(""), null, null, null);
  Disc("Eta", "\xc3\x89mile", null, null, null);  // É
  Disc("Theta", "\xc3\xa9mile", null, null, null);  // é
  const print::Document& doc = Create(0);
  EXPECT_TRUE(HasText(doc, "Compact Disc Changer Report"));
  EXPECT_EQ(tvn::reports::Module().ReportTitle, "Compact Disc Changer Report");
  // The Null artist heads its group with an empty heading, first; the two
  // spellings of Smith are one group, whatever the second artist.
  // Accented names stand under their base letter.
  EXPECT_EQ(Headings(doc), (std::vector<QString>{"\u00c9mile", "O'Hara", "Smith"}));
  EXPECT_EQ(Names(doc), (std::vector<QString>{"Gamma", "Zeta", "Eta", "Theta", "Beta", "Alpha", "Epsilon"}));
  EXPECT_EQ(Beside(doc, "Alpha", 6300), "CD Player: Rack");
  EXPECT_EQ(Beside(doc, "Alpha", 8300), "Group #: 1");
  EXPECT_EQ(Beside(doc, "Alpha", 9800), "Slot #: 3");
  EXPECT_EQ(Beside(doc, "Beta", 8300), "Group #: ");
  EXPECT_EQ(Beside(doc, "Gamma", 6300), "CD Player: ");
  EXPECT_EQ(Beside(doc, "Gamma", 9800), "Slot #: ");

  const print::Page& page = doc.pages[0];
  const print::TextItem* heading = Find(page, "Smith");
  ASSERT_TRUE(heading);
  EXPECT_GT(heading->x, 1440) << "the artist heading stands centred";
  // 400 between groups, a line feed and 30 between lines.
  EXPECT_NEAR(heading->y, Find(page, "Beta")->y + Line8() + 30 + 400, 1);
  EXPECT_NEAR(Find(page, "Epsilon")->y, Find(page, "Alpha")->y + Line8() + 30, 1);
  EXPECT_FALSE(Find(page, "Alpha")->font.bold);
}

TEST_F(ChangerReport, ByChangerInSlotOrderWithoutHeadings) {
  Sample();
  const print::Document& doc = Create(1);
  EXPECT_TRUE(Headings(doc).empty());
  EXPECT_EQ(Names(doc), (std::vector<QString>{"Epsilon", "Beta", "Alpha"}));
  EXPECT_EQ(Beside(doc, "Epsilon", 6300), "CD Player: O'Neil");
  const print::Page& page = doc.pages[0];
  EXPECT_NEAR(Find(page, "Beta")->y, Find(page, "Epsilon")->y + Line8() + 30 + 400, 1);
}

TEST_F(ChangerReport, ByGroupNumberLeavesOutDiscsWithoutOne) {
  Sample();
  Disc("Iota", "Ray", "Shelf", dao::Variant::Byte(1), 1);
  const print::Document& doc = Create(2);
  EXPECT_EQ(Names(doc), (std::vector<QString>{"Iota", "Alpha", "Epsilon"}));
  EXPECT_EQ(Beside(doc, "Epsilon", 8300), "Group #: 2");
  EXPECT_EQ(Beside(doc, "Iota", 6300), "CD Player: Shelf");
}

TEST_F(ChangerReport, NoCompactDiscsGiveThePageFrameAlone) {
  Disc("Delta", "Smith", "Rack", dao::Variant::Byte(1), 5, 1);
  for (int grouping = 0; grouping < 3; ++grouping) {
    const print::Document& doc = Create(grouping);
    EXPECT_EQ(doc.PageCount(), 1);
    EXPECT_TRUE(HasText(doc, "Compact Disc Changer Report"));
    EXPECT_TRUE(Names(doc).empty()) << grouping;
  }
}

TEST_F(ChangerReport, ManyDiscsRunOnToFurtherPages) {
  db_->BeginTrans();
  for (int i = 0; i < 120; ++i) Disc("Disc " + std::to_string(100 + i), "Band " + std::to_string(i % 7), "Rack", 1, i);
  db_->CommitTrans();
  const print::Document& doc = Create(0);
  EXPECT_GE(doc.PageCount(), 2);
  EXPECT_EQ(Names(doc).size(), 120u);
  EXPECT_EQ(Headings(doc).size(), 7u);
  for (const auto& page : doc.pages)
    for (const auto& t : Texts(page)) EXPECT_LE(t.y, 15840 - 770) << t.text.toStdString();
}

// Values as wide as their fields allow are printed whole in every
// grouping, wrapped inside their own column: nothing is cut, nothing runs
// into the next column, the columns stay where they are, and the next
// disc's line starts below the wrapped lines.
TEST_F(ChangerReport, WideValuesWrapInsideTheirColumns) {
  const std::string name(50, 'W');  // the field's whole width
  const std::string player(10, 'W');
  Disc(name, "Wide", player, 200, -32768);
  Disc("Zulu", "Wide", "Zack", 255, 2);  // after the wide disc in every grouping
  const double columns[] = {1440, 6300, 8300, 9800, 12240 - 1440};
  const std::string whole[] = {name, "CD Player: " + player, "Group #: 200", "Slot #: -32768"};
  for (int grouping = 0; grouping < 3; ++grouping) {
    const print::Document& doc = Create(grouping);
    const std::vector<print::TextItem> body = Body(doc);
    const print::TextItem* first = nullptr;
    const print::TextItem* next = nullptr;
    for (const auto& t : body) {
      if (!first && t.x == 1440 && t.text.startsWith("W") && !t.font.bold) first = &t;
      if (t.text == "Zulu") next = &t;
    }
    ASSERT_TRUE(first && next && next->y > first->y) << grouping;
    // Each column's pieces from the wide disc's line down to the next disc's.
    QString read[4];
    double lowest = first->y;
    for (const auto& t : body) {
      if (t.y < first->y || t.y >= next->y || t.font.bold) continue;
      for (int c = 0; c < 4; ++c) {
        if (t.x < columns[c] || t.x >= columns[c + 1]) continue;
        EXPECT_LE(t.x + t.width, columns[c + 1]) << grouping << ": " << t.text.toStdString();
        read[c] += t.text;
        lowest = std::max(lowest, t.y);
      }
    }
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(read[c].remove(' ').toStdString(), QString::fromStdString(whole[c]).remove(' ').toStdString())
          << "grouping " << grouping << ", column " << c;
    EXPECT_GT(lowest, first->y) << grouping << ": the wide values wrap";
    EXPECT_GE(next->y, lowest + Line8()) << grouping << ": the next disc's line overprints the wrapped one";
    EXPECT_EQ(Beside(doc, "Zulu", 6300), "CD Player: Zack") << "a value that fits is whole";
  }
}

}  // namespace

// The video-tape labels on their sheet: where each label's number and
// lines stand, how the sheet fills and runs onto a new page, and the
// labels made from the collection by the wizard's two versions.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdio>
#include <tuple>

#include "platform/print/Printer.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RptForm;

class TapeLabels : public tvntest::ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    db_->Execute("delete from report");
  }
  void Label(const dao::Variant& number, std::map<std::string, dao::Variant> titles = {}) {
    titles["cat_number"] = number;
    titles["name"] = std::string("x");
    tvntest::AddRow(db_, "report", titles);
  }
  void Tape(const std::string& name, const dao::Variant& number, const std::string& index) {
    tvntest::AddRow(db_, "mediadata",
                    {{"name", name},
                     {"section", std::string("Video Tape")},
                     {"SectionNumber", dao::Variant::Byte(6)},
                     {"cat_number", number},
                     {"TapeIndex", index}});
  }
  const print::Document& Create(int type) {
    RptForm& w = OpenWindow(type);
    w.CreateButton->click();
    return w.Printer().document();
  }
  // The label numbers of a page with their places.
  static std::vector<std::tuple<QString, double, double>> Headings(const print::Page& page) {
    std::vector<std::tuple<QString, double, double>> out;
    for (const auto& t : Texts(page))
      if (t.font.bold && t.font.size <= 10) out.emplace_back(t.text, t.x, t.y);
    return out;
  }
  static double Line(double size) { return print::LineHeight(print::FontSpec{"arial", size}); }
};

TEST_F(TapeLabels, ElevenLabelsFillOneSheetAndStartAnother) {
  db_->BeginTrans();
  for (int i = 1; i <= 11; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "L%02d", i);
    Label(std::string(number), {{"title1", "t" + std::to_string(i)}});
  }
  Label(dao::Variant::Null(), {{"title1", "no number"}});
  Label(std::string(""), {{"title1", "empty number"}});
  db_->CommitTrans();

  const print::Document& doc = Create(17);
  ASSERT_EQ(doc.PageCount(), 2);
  const double rows[] = {1550, 4170, 6800, 9445, 12065};
  auto first = Headings(doc.pages[0]);
  ASSERT_EQ(first.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    const QString number = QString("L%1").arg(i + 1, 2, 10, QChar('0'));
    EXPECT_EQ(first[i], std::make_tuple(number, i % 2 ? 6500.0 : 1700.0, rows[i / 2])) << i;
  }
  EXPECT_EQ(Headings(doc.pages[1]), (std::vector<std::tuple<QString, double, double>>{{"L11", 1700, 1550}}));
  EXPECT_FALSE(HasText(doc, "no number"));
  EXPECT_FALSE(HasText(doc, "empty number"));
  // No heading block and no page header on a label sheet.
  for (const auto& page : doc.pages)
    for (const auto& t : page.texts) EXPECT_FALSE(t.header) << t.text.toStdString();
  EXPECT_FALSE(HasText(doc, "The Tavolin"));

  const print::TextItem* t2 = Find(doc.pages[0], "t2");
  ASSERT_TRUE(t2);
  EXPECT_EQ(t2->x, 6500);
  EXPECT_NEAR(t2->y, 1550 + Line(10), 1);
  EXPECT_FALSE(t2->font.bold);
  EXPECT_EQ(t2->font.size, 8);
  EXPECT_EQ(Find(doc.pages[0], "t1")->y, t2->y);
}

TEST_F(TapeLabels, EveryLabelHasItsEightLinesAndTheOrderIgnoresCase) {
  Label(std::string("b2"), {{"title8", "last"}});
  Label(std::string("A1"), {{"title1", "first"}, {"title3", "third"}});
  Label(std::string("a3"), {{"title2", "lone"}});
  const print::Document& doc = Create(16);
  ASSERT_EQ(doc.PageCount(), 1);
  EXPECT_EQ(Headings(doc.pages[0]), (std::vector<std::tuple<QString, double, double>>{
                                        {"A1", 1700, 1550}, {"a3", 6500, 1550}, {"b2", 1700, 4170}}));
  const print::Page& page = doc.pages[0];
  const double top = 1550 + Line(10);
  EXPECT_NEAR(Find(page, "first")->y, top, 1);
  EXPECT_NEAR(Find(page, "third")->y, top + 2 * Line(8), 1);
  EXPECT_EQ(Find(page, "lone")->x, 6500);
  EXPECT_NEAR(Find(page, "lone")->y, top + Line(8), 1);
  EXPECT_EQ(Find(page, "last")->x, 1700);
  EXPECT_NEAR(Find(page, "last")->y, 4170 + Line(10) + 7 * Line(8), 1);
}

TEST_F(TapeLabels, EmptyWorkTableGivesAnEmptySheet) {
  const print::Document& doc = Create(16);
  EXPECT_EQ(doc.PageCount(), 1);
  EXPECT_TRUE(Texts(doc.pages[0]).empty());
}

TEST_F(TapeLabels, WizardVersionsMakeTheLabelsFromTheTapes) {
  Tape("Alien", std::string("T01"), "2");
  Tape("Brazil", std::string("T01"), "1");
  Tape("Casablanca", std::string("T01"), "3");
  Tape("Dune", dao::Variant::Null(), "1");
  for (int i = 1; i <= 9; ++i) Tape("N" + std::to_string(i), std::string("T02"), std::to_string(i));
  auto& m = tvn::reports::Module();

  m.SectionList = " 6 ";
  tvn::reports::MarkWizardSelection(db_, m, false, 5, {});
  const print::Document& one = Create(16);
  ASSERT_EQ(one.PageCount(), 1);
  const print::Page& page = one.pages[0];
  EXPECT_EQ(Headings(page), (std::vector<std::tuple<QString, double, double>>{{"T01", 1700, 1550},
                                                                              {"T02", 6500, 1550}}));
  const double top = 1550 + Line(10);
  EXPECT_NEAR(Find(page, "Brazil")->y, top, 1);
  EXPECT_NEAR(Find(page, "Casablanca")->y, top + 2 * Line(8), 1);
  EXPECT_NEAR(Find(page, "N8")->y, top + 7 * Line(8), 1);
  EXPECT_EQ(Find(page, "N8")->x, 6500);
  EXPECT_FALSE(HasText(one, "N9"));
  EXPECT_FALSE(HasText(one, "Dune"));

  // One label per recording, headed by its name (Dune's too).
  m.SectionList = " 6 ";
  tvn::reports::MarkWizardSelection(db_, m, false, 6, {});
  const print::Document& two = Create(17);
  ASSERT_EQ(two.PageCount(), 2);
  EXPECT_EQ(std::get<0>(Headings(two.pages[0]).front()), "Alien");
  EXPECT_EQ(Headings(two.pages[1]).size(), 3u);
}

}  // namespace

namespace {

// A label has its fixed place on the sheet: a recording name or title as
// long as its field is printed whole inside the label, smaller, instead of
// running into the label beside it or being cut, and the label keeps its
// lines where they are.
TEST_F(TapeLabels, LongTextsPrintWholeInsideTheirLabel) {
  const std::string longName = "A Very Long Recording Name Of Fifty Characters!!!!";
  ASSERT_EQ(longName.size(), 50u);
  const std::string widest = "A" + std::string(49, 'W');  // first in the order
  const std::string longTitle(60, 'W');  // the title fields' whole width
  Label(widest, {{"title1", longTitle}});
  Label(std::string("B éèà " + longName).substr(0, 48), {{"title1", "right title"}, {"title2", longTitle}});
  Label(std::string("C Next"), {{"title1", "next title"}});
  const print::Document& doc = Create(17);
  ASSERT_EQ(doc.PageCount(), 1);
  const print::Page& page = doc.pages[0];
  for (const auto& t : Texts(page)) {
    const double labelLeft = t.x < 6500 ? 1700 : 6500;
    EXPECT_LE(t.x + t.width, labelLeft + 4800) << t.text.toStdString();
  }
  auto headings = Headings(page);
  ASSERT_EQ(headings.size(), 3u);
  EXPECT_EQ(std::get<0>(headings[0]).toStdString(), widest);
  EXPECT_EQ(std::get<0>(headings[1]).toStdString(), std::string("B éèà " + longName).substr(0, 48));
  int whole = 0;
  for (const auto& t : Texts(page)) whole += t.text.toStdString() == longTitle;
  EXPECT_EQ(whole, 2) << "a title as long as its field is cut";
  // The label's lines stay where short texts put them.
  EXPECT_NEAR(Find(page, "right title")->y, 1550 + Line(10), 1);
  EXPECT_EQ(std::get<2>(headings[2]), 4170);
  EXPECT_NEAR(Find(page, "next title")->y, 4170 + Line(10), 1);
  for (const auto& t : Texts(page)) {
    if (t.text.toStdString() == longTitle && t.x >= 6500) {
      EXPECT_NEAR(t.y, 1550 + Line(10) + Line(8), 1);
    }
  }
}

}  // namespace

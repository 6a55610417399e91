// The two media report wizards on a real collection: the steps on show,
// the buttons they enable, the lists they fill and what Finish leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/forms/tests/OnScreen.h"
#include "reports/tests/BusyClick.h"
#include "reports/tests/ModalCloser.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/frmWizard.h"
#include "reports/frmWizardx.h"

namespace {

using tvn::reports::Module;

class Wizards : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "reports_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    DataFolderTest::SetUp();
    vb::PromptScript::Install();
    vb::PromptScript::Clear();
    tvn::schema::CreateCollectionFile(Path("c.mdb"));
    db = tvntest::Open(Path("c.mdb"));
    Module().ReportDatabase = db;
    tvntest::AddRow(db, "artists", {{"artist_name", "ABBA"}});
    Item(1, "Tape", "");
    Item(6, "Film", "V2");
    Item(6, "Film 2", "V1");
    Item(6, "Film 3", "V1");
  }
  void TearDown() override {
    Module().ReportDatabase.reset();
    db->Close();
    vb::PromptScript::Uninstall();
    DataFolderTest::TearDown();
  }
  void Item(int section, const char* name, const char* tape) {
    static const char* sections[] = {"", "Cassette", "", "", "", "", "Video Tape"};
    tvntest::AddRow(db, "mediadata", {{"name", name},
                                      {"section", sections[section]},
                                      {"SectionNumber", dao::Variant::Byte(static_cast<std::uint8_t>(section))},
                                      {"cat_number", tape}});
  }
  static int OnShow(const std::vector<QWidget*>& steps) {
    for (size_t i = 0; i < steps.size(); ++i)
      if (steps[i]->x() == 0 && steps[i]->isVisibleTo(steps[i]->parentWidget())) return static_cast<int>(i);
    return -1;
  }
  static std::string Buttons(const tvn::reports::WizardButtons& b) {
    std::string s;
    for (auto* button : b) s += button->isEnabled() ? '1' : '0';
    return s;
  }
  static bool Ticked(QTableWidget* grid, int row) { return grid->item(row, 0)->checkState() == Qt::Checked; }

  dao::DatabasePtr db;
};

TEST_F(Wizards, WizardStepsGridsAndSectionList) {
  tvn::reports::frmWizard w;
  w.show();
  EXPECT_EQ(w.windowTitle().toStdString(), "The Report Wizard - ver 6");
  EXPECT_EQ(OnShow(w.fraStep), 0);
  EXPECT_EQ(Buttons(w.C_Button), "11010");
  EXPECT_EQ(w.ArtistCombo->currentText().toStdString(), "***NO LIMITS***");
  EXPECT_EQ(w.ArtistCombo->count(), 2);
  w.C_Button[3]->click();
  EXPECT_EQ(OnShow(w.fraStep), 1);
  EXPECT_EQ(Buttons(w.C_Button), "11110");
  // The two list boxes show their whole captions, one under the other,
  // clear of the grid above and the buttons below.
  for (QCheckBox* box : {w.NameBuildCheck, w.TitleBuildCheck}) {
    EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
    EXPECT_GE(box->height(), box->sizeHint().height()) << box->text().toStdString();
    EXPECT_TRUE(w.fraStep[1]->rect().contains(box->geometry())) << "cut off by its step";
  }
  EXPECT_LE(w.NameBuildCheck->geometry().bottom(), w.TitleBuildCheck->geometry().top());
  EXPECT_LE(w.ReportGrid->geometry().bottom(), w.NameBuildCheck->geometry().top());
  EXPECT_LE(w.TitleBuildCheck->mapTo(&w, QPoint(0, w.TitleBuildCheck->height())).y(),
            w.C_Button[3]->mapTo(&w, QPoint(0, 0)).y());

  w.ReportGrid_Click(1);
  for (int r = 1; r <= 6; ++r) EXPECT_TRUE(Ticked(w.ReportGrid, r)) << r;
  EXPECT_FALSE(Ticked(w.ReportGrid, 8));
  w.ReportGrid_Click(1);
  for (int r = 1; r <= 6; ++r) EXPECT_FALSE(Ticked(w.ReportGrid, r)) << r;
  w.ReportGrid_Click(11);
  EXPECT_FALSE(Ticked(w.ReportGrid, 11));
  w.ReportGrid_Click(7);
  EXPECT_TRUE(Ticked(w.ReportGrid, 10));
  w.ReportGrid_Click(7);

  // No report chosen: the message, and the wizard stays on this step
  // (the message box over it does not start it over).
  w.ReportTypeOption[1]->setChecked(true);
  w.C_Button[3]->click();
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{"Please select a report option"});
  EXPECT_EQ(OnShow(w.fraStep), 1);

  w.ReportTypeOption[0]->setChecked(true);
  w.ReportGrid_Click(2);
  w.ReportGrid_Click(3);
  w.C_Button[3]->click();
  EXPECT_EQ(Module().SectionList, " 1 2  ");
  EXPECT_EQ(OnShow(w.fraStep), 2);
  EXPECT_FALSE(w.TapeIndexCombo->isVisibleTo(w.fraStep[2]));
  EXPECT_EQ(w.NameCombo->count(), 2) << "the no-limit entry and the one cassette";

  w.C_Button[2]->click();
  w.ReportGrid_Click(2);
  w.ReportGrid_Click(3);
  w.ReportGrid_Click(8);
  w.C_Button[3]->click();
  EXPECT_TRUE(w.TapeIndexCombo->isVisibleTo(w.fraStep[2]));
  EXPECT_EQ(w.TapeIndexCombo->count(), 3) << "no limits, V1, V2";
  w.C_Button[3]->click();
  EXPECT_EQ(OnShow(w.fraStep), 3);
  EXPECT_EQ(Buttons(w.C_Button), "11001");
}

TEST_F(Wizards, WizardSpecialChoiceAndFinishOpensTheReportWindow) {
  tvn::reports::frmWizard w;
  w.show();
  w.C_Button[3]->click();
  w.ReportTypeOption[1]->setChecked(true);
  w.UtilityGrid_Click(5);
  EXPECT_EQ(w.DescriptionLabel->text().toStdString(),
            "This report is based on Avery #5199  -  uses Tape # sort Spans Tape titles across multiple Records");
  w.UtilityGrid_Click(5);
  EXPECT_TRUE(Ticked(w.UtilityGrid, 5));
  w.C_Button[3]->click();
  EXPECT_EQ(Module().ReportType, 16);
  EXPECT_EQ(Module().SectionList, " 6 ");
  w.C_Button[3]->click();
  std::string opened;
  tvntest::WhenModal([&](QWidget* top) { opened = top->metaObject()->className(); });
  w.C_Button[4]->click();
  EXPECT_EQ(opened, "tvn::reports::RptForm");
  EXPECT_EQ(tvntest::CountRows(db, "select * from report"), 2) << "one label per tape";
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name = ''"), 0);
}

TEST_F(Wizards, SelectorPageFlowAndLists) {
  tvn::reports::frmWizardx w;
  w.show();
  EXPECT_EQ(w.windowTitle().toStdString(), "The Report Wizard - ver 5");
  EXPECT_EQ(OnShow(w.fraStep), 0);
  EXPECT_EQ(Buttons(w.C_Button), "11010");
  EXPECT_TRUE(w.Step1_Option[7]->isChecked());
  w.C_Button[3]->click();
  w.Step1_Option[8]->setChecked(true);
  w.C_Button[3]->click();
  EXPECT_EQ(OnShow(w.fraStep), 5) << "utility reports take no limit";
  EXPECT_EQ(Buttons(w.C_Button), "11001");

  w.C_Button_Click(1);
  tvn::reports::frmWizardx x;
  x.show();
  x.C_Button[3]->click();
  x.Step1_Option[6]->setChecked(true);
  x.C_Button[3]->click();
  EXPECT_EQ(OnShow(x.fraStep), 2);
  EXPECT_FALSE(x.Step2_Option[2]->isVisibleTo(x.fraStep[2])) << "no artist limit for software";
  EXPECT_FALSE(x.Step2_Option[6]->isVisibleTo(x.fraStep[2]));
  x.C_Button[2]->click();
  x.Step1_Option[5]->setChecked(true);
  x.C_Button[3]->click();
  EXPECT_TRUE(x.Step2_Option[6]->isVisibleTo(x.fraStep[2]));
  x.Step2_Option[6]->setChecked(true);
  x.C_Button[3]->click();
  EXPECT_EQ(OnShow(x.fraStep), 3);
  EXPECT_EQ(x.PromptLabel->text().toStdString(), "Enter desired Tape Index #");
  EXPECT_EQ(x.List_Check->count(), 2) << "each tape number of the video tapes once";
  x.List_Check->setEditText("V1");
  EXPECT_EQ(Module().ReportSubtitle, "for V1");
  x.C_Button[3]->click();
  EXPECT_EQ(OnShow(x.fraStep), 5);
  tvntest::WhenModal([](QWidget*) {});
  x.C_Button[4]->click();
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 2);
  EXPECT_EQ(Module().ReportSubtitle, "") << "cleared after the report window";
}

}  // namespace

namespace {

using tvn::reports::frmWizard;
using tvn::reports::frmWizardx;

// Every caption of the page shows whole inside the window and nothing on
// it overprints anything else.
void ExpectPageWhole(QWidget* page, const char* what) {
  QApplication::processEvents();  // let a changed text lay the page out again
  SCOPED_TRACE(what);
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                           qobject_cast<QComboBox*>(w) || qobject_cast<QTableWidget*>(w))) {
      EXPECT_ON_SCREEN(w);
    }
  }
  EXPECT_TRUE(tvn::test::NothingOverlaps(page->window()));
}

// The grid's last row lies whole inside what it shows without scrolling.
bool AllRowsShown(QTableWidget* grid) {
  const QRect last = grid->visualRect(grid->model()->index(grid->rowCount() - 1, 0));
  return grid->viewport()->rect().contains(last);
}

TEST_F(Wizards, WizardPagesShowEveryCaptionWholeAndNothingOverprints) {
  frmWizard w;
  w.show();
  ExpectPageWhole(w.fraStep[0], "welcome");
  for (QPushButton* b : w.C_Button) EXPECT_ON_SCREEN(b);
  w.C_Button[3]->click();
  ExpectPageWhole(w.fraStep[1], "report type");
  EXPECT_TRUE(AllRowsShown(w.ReportGrid)) << "all thirteen section rows";
  EXPECT_TRUE(AllRowsShown(w.UtilityGrid));
  // The longer label description must not run into the list switches.
  w.UtilityGrid_Click(5);
  ExpectPageWhole(w.fraStep[1], "tape label description");
  EXPECT_ON_SCREEN(w.DescriptionLabel);
  w.UtilityGrid_Click(6);
  ExpectPageWhole(w.fraStep[1], "second tape label description");
  w.ReportGrid_Click(8);
  w.C_Button[3]->click();
  ASSERT_TRUE(w.TapeIndexCombo->isVisible());
  ExpectPageWhole(w.fraStep[2], "limits");
  w.C_Button[3]->click();
  ExpectPageWhole(w.fraStep[3], "ready");
}

TEST_F(Wizards, SelectorPagesShowEveryCaptionWholeAndNothingOverprints) {
  frmWizardx w;
  w.show();
  ExpectPageWhole(w.fraStep[0], "welcome");
  for (QPushButton* b : w.C_Button) EXPECT_ON_SCREEN(b);
  w.C_Button[3]->click();
  ExpectPageWhole(w.fraStep[1], "report choice");
  for (QRadioButton* option : w.Step1_Option) EXPECT_ON_SCREEN(option);
  w.Step1_Option[5]->setChecked(true);  // video tapes offer the tape index too
  w.C_Button[3]->click();
  ASSERT_TRUE(w.Step2_Option[6]->isVisible());
  ExpectPageWhole(w.fraStep[2], "limit choice");
  w.Step2_Option[2]->setChecked(true);
  w.C_Button[3]->click();
  ExpectPageWhole(w.fraStep[3], "value list");
  w.C_Button[3]->click();
  ExpectPageWhole(w.fraStep[5], "ready");
}

// A typed limit means every value that begins with it: the box keeps
// exactly the typed text instead of completing it to the first entry.
TEST_F(Wizards, TypedLimitsAreKeptAsTyped) {
  for (const char* name : {"Beck", "Bjork", "O'Brien"}) tvntest::AddRow(db, "artists", {{"artist_name", name}});
  for (const char* name : {"Beck", "Bjork", "ABBA"})
    tvntest::AddRow(db, "mediadata", {{"name", std::string("By ") + name},
                                      {"section", "Cassette"},
                                      {"SectionNumber", dao::Variant::Byte(1)},
                                      {"artist1", name}});
  frmWizard w;
  w.show();
  w.C_Button[3]->click();
  w.ReportGrid_Click(2);
  w.C_Button[3]->click();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.ArtistCombo->setFocus();
  w.ArtistCombo->lineEdit()->selectAll();
  QTest::keyClicks(w.ArtistCombo->lineEdit(), "B");
  EXPECT_EQ(w.ArtistCombo->currentText(), "B");
  QTest::keyClick(w.ArtistCombo->lineEdit(), Qt::Key_Return);
  w.NameCombo->setFocus();  // leaving the box keeps the text too
  EXPECT_EQ(w.ArtistCombo->currentText(), "B");
  EXPECT_EQ(w.ArtistCombo->count(), 5) << "Enter adds nothing to the list";
  w.C_Button[3]->click();
  tvntest::WhenModal([](QWidget*) {});
  w.C_Button[4]->click();
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 2) << "Beck and Bjork";

  // Choosing from the list still takes the entry.
  frmWizard again;
  again.show();
  again.ArtistCombo->setCurrentIndex(again.ArtistCombo->findText("Bjork"));
  EXPECT_EQ(again.ArtistCombo->currentText(), "Bjork");

  // The selector's value box: "B" under names takes both names with B.
  frmWizardx x;
  x.show();
  x.C_Button[3]->click();
  x.Step1_Option[1]->setChecked(true);
  x.C_Button[3]->click();
  x.Step2_Option[0]->setChecked(true);
  x.C_Button[3]->click();
  x.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&x));
  x.List_Check->setFocus();
  x.List_Check->lineEdit()->clear();
  QTest::keyClicks(x.List_Check->lineEdit(), "By B");
  EXPECT_EQ(x.LimitValue(), "By B");
  x.C_Button[3]->click();
  tvntest::WhenModal([](QWidget*) {});
  x.C_Button[4]->click();
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 2) << "By Beck and By Bjork";
}

}  // namespace

namespace {

TEST_F(Wizards, SelectorFinishWorkMarksShowsTheReportAndTidiesUp) {
  tvn::reports::frmWizardx w;
  w.show();
  w.C_Button[3]->click();
  w.Step1_Option[5]->setChecked(true);
  w.C_Button[3]->click();
  w.C_Button[3]->click();  // "All": straight to the ready page
  std::string opened;
  tvntest::WhenModal([&](QWidget* top) { opened = top->metaObject()->className(); });
  w.BuildStandardSelection();
  EXPECT_EQ(opened, "tvn::reports::RptForm");
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 3) << "the three video tapes";
  EXPECT_EQ(Module().ReportTitle, "") << "headings cleared once the report window closed";
}

}  // namespace

namespace {

// Opening on records that lack their captions, Next and Finish keep the
// window painted; a click on Cancel made meanwhile is dropped, not acted on.
TEST_F(Wizards, ClicksWhileOpeningNextAndFinishWorkAreNotActedOn) {
  db->Execute("update cassettecaption set f1 = 'Producer'");
  tvn::reports::frmWizard w;
  int cancelled = 0;
  QObject::connect(&w, &QDialog::rejected, [&] { ++cancelled; });
  {
    tvntest::ClickWhileBusy click(w.C_Button[1]);
    w.show();
    QApplication::processEvents();
    EXPECT_TRUE(click.Made()) << "opening";
  }
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where sectionnumber = 1 and f1c = 'Producer'"), 1);
  w.C_Button[3]->click();
  w.ReportGrid_Click(1);
  {
    tvntest::ClickWhileBusy click(w.C_Button[1]);
    w.C_Button[3]->click();
    EXPECT_TRUE(click.Made()) << "Next";
  }
  EXPECT_EQ(OnShow(w.fraStep), 2);
  w.C_Button[3]->click();
  bool reportShown = false;
  {
    tvntest::ClickWhileBusy click(w.C_Button[1]);
    tvntest::WhenModal([&](QWidget*) { reportShown = true; });
    w.C_Button[4]->click();
    EXPECT_TRUE(click.Made()) << "Finish";
  }
  EXPECT_TRUE(reportShown);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 1);
}

// A limit box is as wide whatever it lists, lists its entries as read
// (quotes, accents, a Null as an empty entry), empties on a refill, and
// lets its entries go once Finish has read what it shows.
TEST_F(Wizards, LimitBoxesKeepTheirWidthAndListTheirEntriesAsRead) {
  const std::string longName = "Long " + std::string(45, 'W');
  for (const char* name : {"Ab'c", "Bé", "Bé 2"}) Item(1, name, "");
  Item(1, longName.c_str(), "");
  tvntest::AddRow(db, "mediadata", {{"section", "Cassette"}, {"SectionNumber", dao::Variant::Byte(1)}});
  tvn::reports::frmWizard w;
  w.show();
  const int width = w.NameCombo->sizeHint().width();
  w.C_Button[3]->click();
  w.ReportGrid_Click(8);  // Video Tape alone: the tape-index box is filled
  w.C_Button[3]->click();
  EXPECT_EQ(w.TapeIndexCombo->count(), 3);
  w.C_Button[2]->click();
  w.ReportGrid_Click(8);
  w.ReportGrid_Click(2);  // Cassette
  w.C_Button[3]->click();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QApplication::processEvents();
  EXPECT_EQ(w.TapeIndexCombo->count(), 0) << "emptied for other sections";
  std::vector<std::string> names;
  for (int i = 0; i < w.NameCombo->count(); ++i) names.push_back(w.NameCombo->itemText(i).toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"***NO LIMITS***", "", "Ab'c", "Bé", "Bé 2", longName, "Tape"}));
  EXPECT_EQ(w.NameCombo->sizeHint().width(), width) << "the longest entry does not widen the box";

  w.NameCombo->setCurrentIndex(w.NameCombo->findText("Bé"));
  EXPECT_EQ(w.NameCombo->currentText(), "Bé");
  w.C_Button[3]->click();
  tvntest::WhenModal([](QWidget*) {});
  w.C_Button[4]->click();
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1"), 2) << "Bé and Bé 2";
  EXPECT_EQ(w.NameCombo->count(), 0) << "the entries are let go";
  EXPECT_EQ(w.NameCombo->currentText(), "Bé") << "the text on show stays";
}

TEST_F(Wizards, TitleBoxListsEachTitleOnceAsReadByTitleAndTheTableKeepsRecordOrder) {
  // Titles of the ticked section only, each once letter case aside, odd
  // ones among them: a quote and wildcards, accents, another script and a
  // letter beyond U+FFFF.
  tvntest::AddRow(db, "mediadata", {{"name", "A"}, {"section", "Cassette"}, {"SectionNumber", dao::Variant::Byte(1)},
                                    {"title1", "Zoé"}, {"title2", "It's *Over?"}, {"title3", "\xF0\x9D\x84\x9E Clef"}});
  tvntest::AddRow(db, "mediadata", {{"name", "B"}, {"section", "Cassette"}, {"SectionNumber", dao::Variant::Byte(1)},
                                    {"title1", "ZOÉ"}, {"title2", "東京"}, {"title40", "Abc"}, {"title5", "[x]%"}});
  tvntest::AddRow(db, "mediadata", {{"name", "C"}, {"section", "Video Tape"}, {"SectionNumber", dao::Variant::Byte(6)},
                                    {"title1", "Elsewhere"}});
  tvn::reports::frmWizard w;
  w.show();
  w.C_Button[3]->click();
  w.ReportGrid_Click(2);  // Cassette
  w.C_Button[3]->click();
  ASSERT_EQ(w.CurrentStep(), 2);
  auto read = [&](const char* sql) {
    std::vector<std::string> out;
    auto rs = db->OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) out.push_back(vb::NzStr(rs->GetField(0)));
    return out;
  };
  EXPECT_EQ(read("select longtitle from title_list order by rowid"),
            (std::vector<std::string>{"Zoé", "It's *Over?", "\xF0\x9D\x84\x9E Clef", "東京", "[x]%", "Abc"}))
      << "the first spelling of each, in record order";
  std::vector<std::string> shown;
  for (int i = 0; i < w.TitleCombo->count(); ++i) shown.push_back(w.TitleCombo->itemText(i).toStdString());
  std::vector<std::string> byTitle = read("select longtitle from title_list order by longtitle");
  byTitle.insert(byTitle.begin(), "***NO LIMITS***");
  EXPECT_EQ(shown, byTitle);
  EXPECT_EQ(w.TitleCombo->currentText(), "***NO LIMITS***");
}

}  // namespace

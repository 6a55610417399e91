// The two media report wizards on a real collection: the steps on show,
// the buttons they enable, the lists they fill and what Finish leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "reports/tests/ModalCloser.h"
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

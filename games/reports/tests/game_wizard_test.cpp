// The game report wizard: its pages, the section list and report type it
// writes, the filter grids and the keys read from them, the name list.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QRadioButton>
#include <QTableWidget>

#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "games/reports/frmWizard.h"
#include "games/reports/tests/GameReportSupport.h"
#include "reports/tests/BusyClick.h"
#include "reports/tests/ModalCloser.h"
#include "platform/runtime/Prompter.h"

namespace {

class GameWizard : public tvntest::GameReportTest {
 protected:
  std::unique_ptr<pl::frmWizard> Open() {
    auto w = std::make_unique<pl::frmWizard>();
    w->show();
    QApplication::processEvents();
    return w;
  }
  static bool Ticked(QTableWidget* g, int row, int col = 0) {
    return g->item(row, col) && g->item(row, col)->checkState() == Qt::Checked;
  }
  static QString Cell(QTableWidget* g, int row, int col) { return g->item(row, col) ? g->item(row, col)->text() : ""; }
  static int VisibleStep(pl::frmWizard& w) {
    for (size_t i = 0; i < w.fraStep.size(); ++i)
      if (w.fraStep[i]->isVisible() && w.fraStep[i]->x() == 0) return static_cast<int>(i);
    return -1;
  }
};

TEST_F(GameWizard, SectionGridWritesTheSectionListAndAllSectionsFollowsItsRow) {
  auto w = Open();
  EXPECT_EQ(w->windowTitle(), "Pellion Report Wizard");
  EXPECT_EQ(VisibleStep(*w), 0);
  EXPECT_FALSE(w->C_Button[4]->isEnabled());
  w->C_Button_Click(3);
  ASSERT_EQ(VisibleStep(*w), 1);
  EXPECT_EQ(Cell(w->ReportGrid, 0, 0), "GENERAL REPORTS");
  EXPECT_EQ(Cell(w->ReportGrid, 1, 0), "ALL SECTIONS");
  EXPECT_EQ(Cell(w->ReportGrid, 7, 0), "Other");

  // Gameboy and Sony.
  w->ReportGrid_Click(2);
  w->ReportGrid_Click(4);
  w->C_Button_Click(3);
  EXPECT_EQ(VisibleStep(*w), 2);
  EXPECT_EQ(pl::GameReports().SectionList, " 1 3 ");
  EXPECT_EQ(pl::GameReports().ReportType, pl::kFullGameReport);

  // "ALL SECTIONS" ticks every section; with it ticked the list is "ALL".
  w->C_Button_Click(2);
  w->ReportGrid_Click(1);
  for (int r = 1; r <= 7; ++r) EXPECT_TRUE(Ticked(w->ReportGrid, r)) << r;
  w->C_Button_Click(3);
  EXPECT_EQ(pl::GameReports().SectionList, "ALL");
  w->C_Button_Click(2);
  w->ReportGrid_Click(1);
  for (int r = 1; r <= 7; ++r) EXPECT_FALSE(Ticked(w->ReportGrid, r)) << r;
  w->ReportGrid_Click(0);  // the heading has no check
  EXPECT_FALSE(Ticked(w->ReportGrid, 0));
}

TEST_F(GameWizard, EmptyChoicesAreRefusedAndTheWizardStaysOnTheChoicePage) {
  auto w = Open();
  w->C_Button_Click(3);
  w->C_Button_Click(3);
  EXPECT_EQ(VisibleStep(*w), 1);
  EXPECT_EQ(pl::GameReports().ReportType, pl::kNoGameReport);
  w->ReportTypeOption[1]->setChecked(true);
  w->C_Button_Click(3);
  EXPECT_EQ(VisibleStep(*w), 1);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"A section must be selected", "Please select a report option"}));
}

TEST_F(GameWizard, SpecialReportSkipsTheLimitsAndOneRowStaysTicked) {
  auto w = Open();
  w->C_Button_Click(3);
  w->ReportTypeOption[1]->setChecked(true);
  w->UtilityGrid_Click(5);
  w->UtilityGrid_Click(5);  // a click on the ticked row keeps it
  EXPECT_TRUE(Ticked(w->UtilityGrid, 5));
  w->UtilityGrid_Click(2);  // another row takes the tick
  EXPECT_FALSE(Ticked(w->UtilityGrid, 5));
  EXPECT_TRUE(Ticked(w->UtilityGrid, 2));
  w->C_Button_Click(3);
  EXPECT_EQ(VisibleStep(*w), 3);
  EXPECT_EQ(pl::GameReports().ReportType, pl::kPublisherList);
  EXPECT_TRUE(w->C_Button[4]->isEnabled());
  w->C_Button_Click(2);
  EXPECT_EQ(VisibleStep(*w), 2);
  const std::pair<int, int> rows[] = {{1, 2}, {3, 4}, {4, 5}, {5, 6}};
  for (auto [row, type] : rows) {
    while (w->CurrentStep() > 1) w->C_Button_Click(2);
    w->UtilityGrid_Click(row);
    w->C_Button_Click(3);
    EXPECT_EQ(pl::GameReports().ReportType, type);
  }
}

TEST_F(GameWizard, FilterGridsStartUnlimitedAndReadTheTickedKeys) {
  const long a = AddLookup("publisher", "Acme");
  const long b = AddLookup("publisher", "Bolt's & Co");
  const long c = AddLookup("publisher", "Core | Works;");
  auto w = Open();
  QTableWidget* g = w->PublisherGrid;
  ASSERT_EQ(g->rowCount(), 5);
  EXPECT_TRUE(g->isColumnHidden(0));
  EXPECT_EQ(Cell(g, 0, 1), "Publishers");
  EXPECT_EQ(Cell(g, 1, 1), "ALL PUBLISHERS");
  EXPECT_EQ(Cell(g, 3, 1), "Bolt's & Co");
  EXPECT_EQ(Cell(g, 3, 0).toLong(), b);
  for (int r = 1; r <= 4; ++r) EXPECT_TRUE(Ticked(g, r, 1));
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(g), "");

  // An entry unticked under a ticked "ALL" row still means no limit.
  w->ToggleFilterCheck(g, 2);
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(g), "");
  w->ToggleFilterCheck(g, 1);  // unticks the "ALL" row and every entry
  for (int r = 1; r <= 4; ++r) EXPECT_FALSE(Ticked(g, r, 1));
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(g), "");
  w->ToggleFilterCheck(g, 2);
  w->ToggleFilterCheck(g, 4);
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(g), " " + std::to_string(a) + " " + std::to_string(c) + " ");
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(g), " " + std::to_string(a) + " " + std::to_string(c) + " ");

  // An empty lookup table: the heading alone, read as no limit.
  EXPECT_EQ(w->GenreGrid->rowCount(), 1);
  EXPECT_EQ(Cell(w->SysTypesGrid, 0, 1), "System Types");
  EXPECT_EQ(pl::frmWizard::ReadCheckedKeys(w->GenreGrid), "");
}

TEST_F(GameWizard, NameListHoldsTheChosenSectionsNamesAndAllMeansEveryName) {
  AddGame("Tetris", 1);
  AddGame("Zelda", 2);
  AddGame("Ico", 3);
  auto w = Open();
  w->C_Button_Click(3);
  w->ReportGrid_Click(2);
  w->ReportGrid_Click(4);
  w->C_Button_Click(3);
  ASSERT_EQ(w->NameCombo->count(), 3);
  EXPECT_EQ(w->NameCombo->itemText(0), "***NO LIMITS***");
  EXPECT_EQ(w->NameCombo->itemText(1), "Ico");
  EXPECT_EQ(w->NameCombo->itemText(2), "Tetris");
  EXPECT_EQ(w->NameCombo->currentText(), "***NO LIMITS***");

  w->C_Button_Click(2);
  w->ReportGrid_Click(1);
  w->C_Button_Click(3);
  EXPECT_EQ(w->NameCombo->count(), 4);

  // With the check set the list is left as it was.
  w->C_Button_Click(2);
  w->NameBuildCheck->setChecked(true);
  w->ReportGrid_Click(1);
  w->ReportGrid_Click(3);
  w->C_Button_Click(3);
  EXPECT_EQ(pl::GameReports().SectionList, " 2 ");
  EXPECT_EQ(w->NameCombo->count(), 4);

  // The name chosen here limits the report.
  w->NameCombo->setCurrentText("Zel");
  const pl::GameLimits limits = w->Limits();
  EXPECT_EQ(limits.name, "Zel");
  pl::MarkGameRecords(*db_, limits);
  EXPECT_EQ(Marked(), (std::vector<std::string>{"Zelda"}));
}

}  // namespace

namespace {

// A typed name means every game that begins with it: the box keeps the
// typed text rather than completing it to the first name in the list.
TEST_F(GameWizard, TypedNameIsKeptAsTyped) {
  AddGame("Metroid", 2);
  AddGame("Mario Kart", 2);
  AddGame("Zelda", 2);
  auto w = Open();
  w->C_Button_Click(3);
  w->ReportGrid_Click(3);
  w->C_Button_Click(3);
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  w->NameCombo->setFocus();
  w->NameCombo->lineEdit()->selectAll();
  QTest::keyClicks(w->NameCombo->lineEdit(), "M");
  QTest::keyClick(w->NameCombo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(w->NameCombo->currentText(), "M");
  EXPECT_EQ(w->NameCombo->count(), 4) << "Enter adds nothing to the list";
  pl::MarkGameRecords(*db_, w->Limits());
  EXPECT_EQ(Marked(), (std::vector<std::string>{"Mario Kart", "Metroid"}));
}

}  // namespace

namespace {

// Next and Finish keep the window painted; a click on Cancel made
// meanwhile is dropped, not acted on.
TEST_F(GameWizard, ClicksWhileNextAndFinishWorkAreNotActedOn) {
  AddGame("Tetris", 1);
  AddGame("Zelda", 2);
  auto w = Open();
  int cancelled = 0;
  QObject::connect(w.get(), &QDialog::rejected, [&] { ++cancelled; });
  w->C_Button_Click(3);
  w->ReportGrid_Click(1);
  {
    tvntest::ClickWhileBusy click(w->C_Button[1]);
    w->C_Button[3]->click();
    EXPECT_TRUE(click.Made()) << "Next";
  }
  EXPECT_EQ(VisibleStep(*w), 2);
  EXPECT_EQ(w->NameCombo->count(), 3);
  w->C_Button[3]->click();
  bool reportShown = false;
  {
    tvntest::ClickWhileBusy click(w->C_Button[1]);
    tvntest::WhenModal([&](QWidget*) { reportShown = true; });
    w->C_Button[4]->click();
    EXPECT_TRUE(click.Made()) << "Finish";
  }
  EXPECT_TRUE(reportShown);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(w->NameCombo->count(), 0) << "the name list is let go before the report";
  EXPECT_EQ(Marked(), (std::vector<std::string>{"Tetris", "Zelda"}));
}

}  // namespace

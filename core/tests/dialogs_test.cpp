// The selection chooser and the title entry dialog.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <QWindow>

#include "core/AddTitleForm.h"
#include "core/SortForm.h"
#include "platform/forms/FlexGrid.h"
#include "core/tests/LaunchFixture.h"
#include "platform/forms/tests/OnScreen.h"

namespace tvn::testing {
namespace {

class DialogsTest : public LaunchTest {};

TEST_F(DialogsTest, ChooserHidesOnAPickAndKeepsTheChoice) {
  SortForm& chooser = win::SortForm.Get();
  EXPECT_EQ(chooser.Select_Label->text().toStdString(), "Pick the desired Artist from the list above");
  chooser.Select_Label->setText("Pick the desired Category from the list above");
  chooser.Choice_List->clear();
  chooser.Choice_List->addItems({"Blues", "Jazz", "Rock"});
  QTimer::singleShot(0, &chooser, [&] {
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_TRUE(chooser.IsShownModal());
    chooser.Choice_List->setCurrentIndex(1);
    emit chooser.Choice_List->activated(1);
  });
  chooser.ShowModal();
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_TRUE(win::SortForm.Loaded());
  EXPECT_EQ(&win::SortForm.Get(), &chooser);
  EXPECT_EQ(chooser.Choice_List->currentText().toStdString(), "Jazz");
  EXPECT_TRUE(endings_.empty());
}

// The catalogue window's title grid: a header row and rows 1 to 40.
class TitleDialogTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    grid = std::make_unique<forms::FlexGrid>();
    grid->SetCols(2);
    grid->SetRows(41);
    grid->SetCol(1);
    grid->SetTextMatrix(0, 1, "Title");
  }
  void TearDown() override {
    grid.reset();  // before the windows of the program go
    LaunchTest::TearDown();
  }
  AddTitleForm& Open() {
    AddTitleForm& f = win::AddTitleForm.Get();
    f.TGrid = grid.get();
    return f;
  }
  std::string Cell(int row) const { return grid->TextMatrix(row, 1).toStdString(); }
  void Put(int row, const std::string& text) { grid->SetTextMatrix(row, 1, QString::fromStdString(text)); }
  std::unique_ptr<forms::FlexGrid> grid;
};

TEST_F(TitleDialogTest, ApplyFillsTheFirstEmptyRow) {
  Put(1, "One");
  Put(3, "Three");
  AddTitleForm& f = Open();
  f.TitleText->setText("Two");
  f.ApplyButton->click();
  EXPECT_EQ(Cell(2), "Two");
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(Cell(3), "Three");
  EXPECT_EQ(Cell(4), "");
  EXPECT_FALSE(win::AddTitleForm.Loaded());
}

TEST_F(TitleDialogTest, EnterAppliesEachTitleAndTheDialogOpensOverItsWindow) {
  QWidget owner;
  owner.setGeometry(420, 260, 640, 480);
  grid->setParent(&owner);
  owner.show();
  for (const char* title : {"One", "Two", "Three"}) {
    AddTitleForm& f = Open();
    f.Show();
    EXPECT_ON_SCREEN(f.TitleText);
    EXPECT_TRUE(owner.frameGeometry().contains(f.frameGeometry().center())) << title;
    ASSERT_TRUE(f.windowHandle());
    EXPECT_EQ(f.windowHandle()->transientParent(), owner.windowHandle());
    QTest::keyClicks(f.TitleText, title);
    QTest::keyClick(f.TitleText, Qt::Key_Return);
    EXPECT_FALSE(win::AddTitleForm.Loaded()) << title;
    Pump();
  }
  EXPECT_EQ(Cell(1), "One");
  EXPECT_EQ(Cell(2), "Two");
  EXPECT_EQ(Cell(3), "Three");
  EXPECT_EQ(Cell(4), "");
  grid->setParent(nullptr);  // the fixture owns it
}

TEST_F(TitleDialogTest, EmptyTextDoesNothingAndCancelLeavesTheGrid) {
  AddTitleForm& f = Open();
  f.ApplyButton->click();
  EXPECT_TRUE(win::AddTitleForm.Loaded());
  EXPECT_EQ(Cell(1), "");
  f.TitleText->setText("Not wanted");
  f.CancelButton->click();
  EXPECT_FALSE(win::AddTitleForm.Loaded());
  for (int r = 1; r <= 40; ++r) EXPECT_EQ(Cell(r), "");
}

TEST_F(TitleDialogTest, FullGridTakesNothingAndTheDialogCloses) {
  for (int r = 1; r <= 40; ++r) Put(r, "T" + std::to_string(r));
  AddTitleForm& f = Open();
  f.TitleText->setText("One too many");
  f.ApplyButton->click();
  for (int r = 1; r <= 40; ++r) EXPECT_EQ(Cell(r), "T" + std::to_string(r));
  EXPECT_EQ(grid->Row(), 40);
  EXPECT_FALSE(win::AddTitleForm.Loaded());
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(TitleDialogTest, DoubleQuotesAreRemovedWithOneMessage) {
  AddTitleForm& f = Open();
  f.TitleText->setFocus();
  f.TitleText->insert("Say \"Hi\" \"");
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "The \" is an an invalid character");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly | vb::vbInformation);
  EXPECT_EQ(f.TitleText->text().toStdString(), "Say Hi ");
  f.ApplyButton->click();
  EXPECT_EQ(Cell(1), "Say Hi ");
}

}  // namespace
}  // namespace tvn::testing

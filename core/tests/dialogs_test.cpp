// The selection chooser and the title entry dialog.
#include <gtest/gtest.h>

#include <QTimer>

#include "core/AddTitleForm.h"
#include "core/SortForm.h"
#include "core/tests/LaunchFixture.h"

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

// A title grid of 40 rows (row 0 the header).
class FakeGrid : public TitleGridAccess {
 public:
  FakeGrid() : rows(41) { rows[0] = "Title"; }
  void SetRow(int r) override { row = r; }
  std::string Text() const override { return rows.at(row); }
  void SetText(const std::string& t) override { rows.at(row) = t; }
  std::vector<std::string> rows;
  int row = 0;
};

class TitleDialogTest : public LaunchTest {
 protected:
  AddTitleForm& Open() {
    AddTitleForm& f = win::AddTitleForm.Get();
    f.Grid = &grid;
    return f;
  }
  FakeGrid grid;
};

TEST_F(TitleDialogTest, ApplyFillsTheFirstEmptyRow) {
  grid.rows[1] = "One";
  grid.rows[3] = "Three";
  AddTitleForm& f = Open();
  f.TitleText->setText("Two");
  f.ApplyButton->click();
  EXPECT_EQ(grid.rows[2], "Two");
  EXPECT_EQ(grid.row, 2);
  EXPECT_EQ(grid.rows[3], "Three");
  EXPECT_FALSE(win::AddTitleForm.Loaded());
}

TEST_F(TitleDialogTest, EmptyTextDoesNothingAndCancelLeavesTheGrid) {
  AddTitleForm& f = Open();
  f.ApplyButton->click();
  EXPECT_TRUE(win::AddTitleForm.Loaded());
  EXPECT_EQ(grid.rows[1], "");
  f.TitleText->setText("Not wanted");
  f.CancelButton->click();
  EXPECT_FALSE(win::AddTitleForm.Loaded());
  for (int r = 1; r <= 40; ++r) EXPECT_EQ(grid.rows[r], "");
}

TEST_F(TitleDialogTest, FullGridTakesNothingAndTheDialogCloses) {
  for (int r = 1; r <= 40; ++r) grid.rows[r] = "T" + std::to_string(r);
  const auto before = grid.rows;
  AddTitleForm& f = Open();
  f.TitleText->setText("One too many");
  f.ApplyButton->click();
  EXPECT_EQ(grid.rows, before);
  EXPECT_EQ(grid.row, 40);
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
  EXPECT_EQ(grid.rows[1], "Say Hi ");
}

}  // namespace
}  // namespace tvn::testing

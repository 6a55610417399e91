#include "reports/tests/ModalCloser.h"
// The record commands: add and cancel, delete with its question, the
// title buttons, the picture and date buttons, play and the report button.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::NewMain_Form;

using cattest::Names;

namespace {

std::string T(const QWidget* w) { return NewMain_Form::TextOf(w); }

// Which of the toolbar's buttons 1 to 6 show.
std::string Toolbar(const NewMain_Form& w) {
  std::string s;
  for (int i = 1; i <= 6; ++i) s += w.Toolbar1Buttons[i]->isVisible() ? '1' : '0';
  return s;
}

}  // namespace

TEST_F(CatalogueTest, AddAndCancelInAnEmptySection) {
  auto& w = WindowOn(1);
  ASSERT_EQ(Toolbar(w), "100000");
  ASSERT_FALSE(w.CS_Name_Text->isEnabled());

  w.Toolbar1_ButtonClick(1);
  EXPECT_TRUE(w.AddingRecord);
  EXPECT_TRUE(w.CS_Name_Text->isEnabled());
  EXPECT_EQ(NewMain_Form::BackColourOf(w.CS_Name_Text), NewMain_Form::kEditableColour);
  EXPECT_EQ(Toolbar(w), "011000");
  EXPECT_FALSE(w.SSTab1->isTabEnabled(4));  // no picture before the record is filed
  EXPECT_FALSE(w.SSListBar1->isEnabled());
  EXPECT_FALSE(w.Toolbar1Buttons[8]->isVisible());

  w.CS_Name_Text->setText("Never filed");
  w.Toolbar1_ButtonClick(2);
  EXPECT_FALSE(w.AddingRecord);
  EXPECT_EQ(T(w.CS_Name_Text), "");
  EXPECT_FALSE(w.CS_Name_Text->isEnabled());
  EXPECT_EQ(NewMain_Form::BackColourOf(w.CS_Name_Text), NewMain_Form::kLockedColour);
  EXPECT_EQ(Toolbar(w), "100000");
  EXPECT_TRUE(w.SSListBar1->isEnabled());
  EXPECT_TRUE(w.Toolbar1Buttons[8]->isVisible());
  EXPECT_TRUE(Names(1).empty());
}

TEST_F(CatalogueTest, CancelOfAnAddShowsTheFirstRecordAndFilesEditsAfterwards) {
  AddItem(6, "Brazil");
  AddItem(6, "Alien");
  auto& w = WindowOn(6);
  w.Toolbar2_ButtonClick(3 * 2 - 2);  // letter B
  ASSERT_EQ(T(w.Video_Name_Text), "Brazil");
  w.Toolbar1_ButtonClick(1);
  w.Video_Name_Text->setText("Casablanca");
  w.Toolbar1_ButtonClick(2);
  EXPECT_EQ(T(w.Video_Name_Text), "Alien");
  EXPECT_EQ(Toolbar(w), "101111");
  EXPECT_TRUE(w.SSTab1->isTabEnabled(4));
  // A File after the cancel changes the record shown; it adds none.
  w.TapeIndex->setText("7");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(6), (std::vector<std::string>{"Alien", "Brazil"}));
}

TEST_F(CatalogueTest, DeleteAsksFirst) {
  AddItem(2, "Abbey Road");
  AddItem(2, "Help");
  auto& w = WindowOn(2);
  ASSERT_EQ(T(w.CS_Name_Text), "Abbey Road");

  vb::PromptScript::Answer(vb::vbNo);
  w.Toolbar1_ButtonClick(4);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "Delete the displayed record??");
  EXPECT_EQ(vb::PromptScript::Records()[0].title, "Delete Warning");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons & 7, vb::vbYesNo);
  EXPECT_EQ(Names(2), (std::vector<std::string>{"Abbey Road", "Help"}));
  EXPECT_EQ(T(w.CS_Name_Text), "Abbey Road");

  vb::PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(4);
  EXPECT_EQ(Names(2), std::vector<std::string>{"Help"});
  EXPECT_EQ(T(w.CS_Name_Text), "Help");
  EXPECT_EQ(Face('A'), 2);
  EXPECT_EQ(Face('H'), 1);
  EXPECT_EQ(Toolbar(w), "101111");

  vb::PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(4);
  EXPECT_TRUE(Names(2).empty());
  EXPECT_EQ(Toolbar(w), "100000");
  EXPECT_FALSE(w.CS_Name_Text->isEnabled());
}

TEST_F(CatalogueTest, DeleteRefillsAnOpenQuickDisplay) {
  AddItem(2, "Abbey Road");
  AddItem(2, "Help");
  auto& w = WindowOn(2);
  tvn::AVQDForm* qd = tvn::ShowQuickDisplay();
  ASSERT_NE(qd, nullptr);
  const int before = qd->QDGrid->Rows();

  vb::PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(4);
  EXPECT_EQ(qd->QDGrid->Rows(), before - 1);
  for (int r = qd->QDGrid->FixedRows(); r < qd->QDGrid->Rows(); ++r)
    for (int c = 0; c < qd->QDGrid->Cols(); ++c) EXPECT_NE(qd->QDGrid->TextMatrix(r, c), "Abbey Road");
  tvn::CloseQuickDisplay();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(CatalogueTest, TitleButtons) {
  cattest::Fields titles;
  for (int i = 1; i <= 40; ++i) titles["title" + std::to_string(i)] = vb::Variant("Track " + std::to_string(i));
  AddItem(2, "Full", titles);
  auto& w = WindowOn(2);
  EXPECT_FALSE(w.AddButton->isEnabled());  // forty titles: no room

  // On the header nothing happens.
  w.TGrid->SetRow(0);
  w.DeleteButton_Click();
  w.ModifyButton_Click();
  EXPECT_EQ(w.TGrid->TextMatrix(1, 1), "Track 1");

  w.TGrid->SetRow(2);
  w.DeleteButton_Click();
  EXPECT_EQ(w.TGrid->TextMatrix(2, 1), "Track 3");
  EXPECT_EQ(w.TGrid->TextMatrix(39, 1), "Track 40");
  EXPECT_EQ(w.TGrid->TextMatrix(40, 1), "");  // the last title is not doubled
  EXPECT_TRUE(w.AddButton->isEnabled());

  // Modify edits the current title in the title editor.
  w.TGrid->SetRow(1);
  QTimer::singleShot(0, [] {
    QWidget* editor = QApplication::activeModalWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->objectName(), "EditTitleForm");
    editor->findChild<QLineEdit*>("TitleText")->setText("Overture");
    editor->findChild<QPushButton*>("ApplyButton")->click();
  });
  w.ModifyButton_Click();
  EXPECT_EQ(w.TGrid->TextMatrix(1, 1), "Overture");

  // Filed with the record.
  w.Toolbar1_ButtonClick(3);
  auto rs = tvn::App().CollectionDB->OpenRecordset("select title1, title2, title40 from mediadata");
  EXPECT_EQ(vb::NzStr(rs->GetField("title1")), "Overture");
  EXPECT_EQ(vb::NzStr(rs->GetField("title2")), "Track 3");
  EXPECT_EQ(vb::NzStr(rs->GetField("title40")), "");
  rs->Close();
}

TEST_F(CatalogueTest, PictureDateAndPlayButtons) {
  AddItem(8, "Song", {{"Picture", vb::Variant("pics\\missing.jpg")}, {"date_aquired", vb::DateSerial(2001, 2, 3)},
                      {"filelocation", vb::Variant("")}});
  auto& w = WindowOn(8);
  ASSERT_EQ(T(w.CS_Date_Text), "2/3/2001");
  w.btnbdm_Click();
  EXPECT_EQ(T(w.CS_Date_Text), "");
  w.Video_Date_Text->setText("1/1/2000");
  w.btnbdv_Click();
  EXPECT_EQ(T(w.Video_Date_Text), "");
  w.SCD_Date_Text->setText("1/1/2000");
  w.btnBlankADate_Click();
  EXPECT_EQ(T(w.SCD_Date_Text), "");

  w.PlayButton_Click();  // no file: nothing at all
  EXPECT_TRUE(vb::PromptScript::Texts().empty());

  tvn::App().CollectionDB->Execute("update mediadata set picture = 'pics\\other.jpg'");
  vb::PromptScript::Answer(vb::vbNo);  // the cleared date is not to be filed
  w.CS_Load_Data("Song");
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
  vb::PromptScript::Clear();
  w.Delete_Picture_Click();
  auto rs = tvn::App().CollectionDB->OpenRecordset("select picture from mediadata");
  EXPECT_EQ(vb::NzStr(rs->GetField("picture")), "");
  rs->Close();
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, ReportButtonUsesOneReportLibrary) {
  AddItem(2, "Any");
  auto& w = WindowOn(2);
  tvn::App().ReportLibrary.reset();
  const auto state = tvn::AVDataRef();
  tvntest::WhenModal([](QWidget*) {});
  w.Toolbar1_ButtonClick(8);
  const auto library = tvn::App().ReportLibrary;
  ASSERT_NE(library, nullptr);
  tvntest::WhenModal([](QWidget*) {});
  w.Toolbar1_ButtonClick(8);
  EXPECT_EQ(tvn::App().ReportLibrary, library);
  EXPECT_EQ(tvn::AVDataRef(), state);  // the state object comes back as it went
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, LoadNameFieldShowsTheRecordAgainOrRebuildsTheList) {
  AddItem(2, "Abbey Road", {{"category", vb::Variant("Rock")}});
  auto& w = WindowOn(2);
  // A lookup editor renamed the category meanwhile.
  tvn::App().CollectionDB->Execute("update mediadata set category = 'Pop'");
  w.LoadNameField();
  EXPECT_EQ(T(w.CD_Category_List), "Pop");

  tvn::App().CollectionDB->Execute("delete from mediadata");
  w.ItemClickProcess(2);
  w.LoadNameField();
  EXPECT_EQ(Toolbar(w), "100000");
}

TEST_F(CatalogueTest, AfterDeleteExactlyOneLetterIsActive) {
  for (const char* name : {"1999", "Abbey Road", "Help", "Zappa"}) AddItem(2, name);
  auto& w = WindowOn(2);
  auto active = [this] {
    std::string out;
    for (char c = 'A'; c <= 'Z'; ++c)
      if (Face(c) == 1) out += c;
    return out;
  };
  for (int i = 0; i < 3; ++i) {
    // The record shown is one of a later letter, chosen on the bar.
    const char letter = i == 0 ? 'H' : 'Z';
    if (Face(letter) == 0) w.LetterButtons[3 * (letter - 'A' + 1) - 2]->trigger();
    vb::PromptScript::Answer(vb::vbYes);
    w.Toolbar1_ButtonClick(4);
    EXPECT_EQ(active().size(), 1u) << "after delete " << i << ": " << active() << " shown as " << T(w.CS_Name_Text);
  }
}

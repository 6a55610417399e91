// The media window on its record-window frame, as the user sees it: the
// titles of a record read from the first row, the letter bar after a
// record shown from the quick display, a refused date with its box on
// screen, and the question before typed changes are left behind.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using Strings = std::vector<std::string>;
using vb::PromptScript;

namespace {

std::string Shown(tvn::NewMain_Form& w) { return w.CS_Name_Text->text().toStdString(); }

// Shown as the tests' window is: loaded, its section chosen, the first
// activation's work not to be done again.
tvn::NewMain_Form& OnScreen(tvn::NewMain_Form& w) {
  w.FirstActivate = false;
  w.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  return w;
}

void Letter(tvn::NewMain_Form& w, char letter) { w.LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger(); }

// A title picked in the title list, as the user picks it.
void Pick(tvn::NewMain_Form& w, const std::string& name) {
  const int row = w.List_Combo->findText(QString::fromStdString(name));
  ASSERT_GE(row, 0) << name;
  w.List_Combo->setCurrentIndex(row);
  emit w.List_Combo->activated(row);
}

using cattest::Stored;

}  // namespace

TEST_F(CatalogueTest, TheTitlesTabShowsTheFirstTitleAtTheTopAfterEveryLoad) {
  cattest::Fields many;
  for (int i = 1; i <= 40; ++i) many["title" + std::to_string(i)] = vb::Variant("Track " + std::to_string(i));
  AddItem(2, "Album", many);
  AddItem(2, "Best Of", many);
  auto& w = OnScreen(WindowOn(2));
  const int titles = 2;
  for (const char* name : {"Album", "Best Of", "Album"}) {
    w.SSTab1->setCurrentIndex(0);
    w.CS_Load_Data(name);
    w.SSTab1->setCurrentIndex(titles);
    QApplication::processEvents();
    EXPECT_ON_SCREEN(w.TGrid);
    EXPECT_TRUE(tvn::test::RowVisible(w.TGrid, 0)) << name;  // grid row 1, the first title
    EXPECT_EQ(w.TGrid->TextMatrix(1, 1).toStdString(), "Track 1");
  }
  // Filed while the tab is on show, the record shown again starts at its first title too.
  w.Toolbar1_ButtonClick(3);
  w.SSTab1->setCurrentIndex(titles);
  QApplication::processEvents();
  EXPECT_TRUE(tvn::test::RowVisible(w.TGrid, 0));
}

TEST_F(CatalogueTest, ARecordShownFromTheQuickDisplayLightsItsLetter) {
  AddItem(2, "Abbey Road");
  AddItem(2, "Kind of Blue");
  AddItem(5, "Zebra");
  auto& w = WindowOn(2);
  ASSERT_EQ(Face('A'), 1);
  // The quick display's double click: the record's section when it is
  // another, then the record.
  w.CS_Load_Data("Kind of Blue");
  EXPECT_EQ(Shown(w), "Kind of Blue");
  EXPECT_EQ(Face('K'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Kind of Blue"}));
  EXPECT_EQ(w.SelectedLetter, "K");
  // Next goes on from there.
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Abbey Road");
  EXPECT_EQ(Face('A'), 1);
}

TEST_F(CatalogueTest, ARefusedDateShowsItsTabAndGetsTheFocus) {
  AddItem(3, "Alien");
  auto& w = OnScreen(WindowOn(3));
  w.Video_Date_Text->setText("2/30/1999");
  w.SSTab1->setCurrentIndex(3);  // the notes
  PromptScript::Clear();
  w.Toolbar1_ButtonClick(3);
  ASSERT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_ON_SCREEN(w.Video_Date_Text);
  EXPECT_EQ(w.focusWidget(), w.Video_Date_Text);
  EXPECT_EQ(w.Video_Date_Text->text().toStdString(), "2/30/1999");
}

TEST_F(CatalogueTest, MerelyLookingAsksNothing) {
  cattest::Fields full = {{"date_aquired", vb::DateSerial(2001, 2, 3)}, {"artist1", vb::Variant("Miles")},
                 {"title1", vb::Variant("So What")}, {"slot", vb::Variant(4)}, {"player", vb::Variant("Master")}};
  AddItem(2, "Kind of Blue", full);
  AddItem(2, "Abbey Road", full);
  auto& w = OnScreen(WindowOn(2));
  PromptScript::Clear();
  for (int tab = 0; tab < w.SSTab1->count(); ++tab) w.SSTab1->setCurrentIndex(tab);
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(5);
  Letter(w, 'K');
  Pick(w, "Kind of Blue");
  w.ItemClickProcess(3);
  w.ItemClickProcess(2);
  EXPECT_TRUE(PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, TypedChangesAreAskedAboutBeforeTheRecordIsLeft) {
  AddItem(2, "Abbey Road");
  AddItem(2, "Kind of Blue");
  AddItem(2, "Kid A");
  auto& w = WindowOn(2);
  ASSERT_EQ(Shown(w), "Abbey Road");

  // Cancel on Next, Previous, a letter and a title: the record stays with what was typed.
  w.CD_Notes_Text->setPlainText("1969");
  PromptScript::Clear();
  for (int i = 0; i < 4; ++i) PromptScript::Answer(vb::vbCancel);
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(5);
  Letter(w, 'K');
  EXPECT_EQ(Face('A'), 1);
  Pick(w, "Abbey Road");
  ASSERT_EQ(PromptScript::Texts(), Strings(4, "Save the changes to \"Abbey Road\"?"));
  EXPECT_EQ(Shown(w), "Abbey Road");
  EXPECT_EQ(w.CD_Notes_Text->toPlainText().toStdString(), "1969");

  // No drops them.
  PromptScript::Answer(vb::vbNo);
  Letter(w, 'K');
  EXPECT_EQ(Shown(w), "Kid A");
  EXPECT_EQ(Stored("Abbey Road", "notes"), "");

  // Yes files them, the titles included, before the title picked is shown.
  w.TGrid->SetTextMatrix(1, 1, "Everything In Its Right Place");
  PromptScript::Answer(vb::vbYes);
  Pick(w, "Kind of Blue");
  EXPECT_EQ(Stored("Kid A", "title1"), "Everything In Its Right Place");
  EXPECT_EQ(Shown(w), "Kind of Blue");

  // A refused filing (no name) keeps the user on the record.
  w.CS_Name_Text->setText("");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(PromptScript::Texts().size(), 2u);  // the question, then the name check's message
  EXPECT_EQ(Shown(w), "");
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Kid A", "Kind of Blue"}));
  EXPECT_EQ(cattest::Names(2), (Strings{"Abbey Road", "Kid A", "Kind of Blue"}));
}

TEST_F(CatalogueTest, TheQuickDisplayAndClosingTheWindowAskToo) {
  AddItem(2, "Abbey Road");
  AddItem(3, "Alien");
  auto& w = WindowOn(2);
  w.CD_Serial_Text->setText("CDP 7 46446 2");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  // The quick display's double click on a record of another section.
  w.ItemClickProcess(3);
  w.CS_Load_Data("Alien");
  EXPECT_EQ(PromptScript::Texts().size(), 1u);  // asked once
  EXPECT_EQ(int(tvn::AVData()->SectionNumber()), 2);
  EXPECT_EQ(w.SSListBar1->currentItem()->text(0).toStdString(), "Compact Discs");
  EXPECT_EQ(Shown(w), "Abbey Road");
  EXPECT_EQ(w.CD_Serial_Text->text().toStdString(), "CDP 7 46446 2");
  QApplication::processEvents();

  // Closing: Cancel keeps the window open, Yes files and closes.
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  w.show();
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  PromptScript::Answer(vb::vbYes);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(PromptScript::Texts().size(), 2u);
  EXPECT_EQ(Stored("Abbey Road", "serial"), "CDP 7 46446 2");
}

TEST_F(CatalogueTest, AFiledRecordTakesItsPlaceInTheSectionWithoutReadingItAgain) {
  for (const char* name : {"Apple", "Kiwi", "Zebra"}) AddItem(2, name);
  auto& w = WindowOn(2);
  auto walk = [&w] {
    // The title list's order of the section as next steps through it.
    Strings out;
    w.CS_Load_Data("Apple");
    for (int i = 0; i < 8; ++i) {
      out.push_back(Shown(w));
      w.Toolbar1_ButtonClick(6);
      if (Shown(w) == "Apple") break;
    }
    return out;
  };
  // Added: between its neighbours, under its letter (accents with their letter).
  w.Toolbar1_ButtonClick(1);
  w.CS_Name_Text->setText("\xC3\xA9lan");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"\xC3\xA9lan"}));
  EXPECT_EQ(Face('E'), 1);
  w.Toolbar1_ButtonClick(1);
  w.CS_Name_Text->setText("mango");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Face('M'), 1);
  EXPECT_EQ(Face('E'), 0);
  EXPECT_EQ(walk(), (Strings{"Apple", "\xC3\xA9lan", "Kiwi", "mango", "Zebra"}));

  // Renamed: it moves, and the letter it left loses its titles.
  w.CS_Load_Data("Kiwi");
  w.CS_Name_Text->setText("Banana");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Face('K'), 2);
  EXPECT_EQ(Face('B'), 1);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Banana"}));
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(Shown(w), "Apple");
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(Shown(w), "Zebra");  // previous on the first wraps to the last
  EXPECT_EQ(walk(), (Strings{"Apple", "Banana", "\xC3\xA9lan", "mango", "Zebra"}));
  // What the window shows is what a fresh look at the section shows.
  w.ItemClickProcess(2);
  EXPECT_EQ(walk(), (Strings{"Apple", "Banana", "\xC3\xA9lan", "mango", "Zebra"}));
  EXPECT_EQ(Face('K'), 2);
}

// The caption box of My Fields takes the 50 characters a caption stores;
// a caption of blanks is refused with a word, and the caption on show and
// the stored one stay as they were.
TEST_F(CatalogueTest, AFieldCaptionTakesFiftyCharactersAndNeverBlanks) {
  AddItem(2, "Kind of Blue");
  auto& w = OnScreen(WindowOn(2));
  w.SSTab1->setCurrentIndex(1);  // My Fields
  QApplication::processEvents();
  ASSERT_ON_SCREEN(w.fCap[2]);
  auto stored = [] {
    auto rs = tvn::App().CollectionDB->OpenRecordset("select f3 from cdcaption");
    const std::string v = rs->Eof() ? "<none>" : vb::NzStr(rs->GetField("f3"));
    rs->Close();
    return v;
  };

  const std::string longCaption = "Recorded live at the Village Vanguard, New York City, 1961";
  ASSERT_GT(longCaption.size(), 50u);
  PromptScript::Clear();
  PromptScript::AnswerText(longCaption);
  w.f3Cap_DblClick();
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(PromptScript::Records()[0].maxLength, 50);
  EXPECT_EQ(w.fCap[2]->text().toStdString(), longCaption.substr(0, 50));
  EXPECT_EQ(stored(), longCaption.substr(0, 50));
  QApplication::processEvents();
  EXPECT_ON_SCREEN(w.fCap[2]);

  const std::string kept = stored();
  for (const char* blank : {" ", "   ", "\xC2\xA0"}) {
    SCOPED_TRACE(blank);
    PromptScript::Clear();
    PromptScript::AnswerText(blank);
    w.f3Cap_DblClick();
    ASSERT_EQ(PromptScript::Records().size(), 2u);
    EXPECT_EQ(PromptScript::Records()[1].text, "Please enter a caption; the caption was not changed.");
    EXPECT_EQ(PromptScript::Records()[1].buttons, vb::vbOKOnly + vb::vbExclamation);
    EXPECT_EQ(w.fCap[2]->text().toStdString(), kept);
    EXPECT_EQ(stored(), kept);
  }
}

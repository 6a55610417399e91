// Reaching a record: the letter bar, the title list, previous/next and
// the catalogue-number list.
#include <QAction>
#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <map>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using Strings = std::vector<std::string>;

namespace {
std::string Shown(tvn::NewMain_Form& w) { return w.CS_Name_Text->text().toStdString(); }
}  // namespace

TEST_F(CatalogueTest, LetterBarFollowsTheSectionChosen) {
  AddItem(2, "Blue Train");
  AddItem(2, "blue in green");
  AddItem(2, "Miles Ahead");
  AddItem(2, "9 to 5");
  AddItem(2, "\xC3\x89tude");  // filed under its base letter, E
  AddItem(1, "Zodiac");
  auto& w = WindowOn(2);

  // The first title in name order ("9 to 5") is under "A", which is active.
  EXPECT_EQ(Face('A'), 1);
  EXPECT_EQ(Face('B'), 0);
  EXPECT_EQ(Face('M'), 0);
  EXPECT_EQ(Face('Z'), 2);
  EXPECT_EQ(Face('C'), 2);
  EXPECT_EQ(Face('E'), 0);
  EXPECT_EQ(w.SelectedLetter, "A");
  EXPECT_EQ(tvn::AVData()->SLetterW(), "A");
  EXPECT_EQ(w.ActiveLetterButton, 1);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"9 to 5"}));
  EXPECT_EQ(Shown(w), "9 to 5");
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "9 to 5");
  w.Toolbar2_ButtonClick(3 * 5 - 2);
  EXPECT_EQ(Face('E'), 1);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"\xC3\x89tude"}));
  EXPECT_EQ(Shown(w), "\xC3\x89tude");

  // Another section: every letter is marked afresh.
  w.ItemClickProcess(1);
  EXPECT_EQ(Face('Z'), 1);
  EXPECT_EQ(Face('B'), 2);
  EXPECT_EQ(Face('A'), 2);
  EXPECT_EQ(Face('M'), 2);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Zodiac"}));
  EXPECT_EQ(Shown(w), "Zodiac");
}

TEST_F(CatalogueTest, LetterClickListsThatLettersTitlesAndShowsTheFirst) {
  AddItem(2, "Blue Train");
  AddItem(2, "blue in green");
  AddItem(2, "Miles Ahead");
  AddItem(2, "Abraxas");
  auto& w = WindowOn(2);
  const int b = 3 * 2 - 2;  // the "B" group
  w.Toolbar2_ButtonClick(b);
  EXPECT_EQ(Face('B'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(w.ActiveLetterButton, b);
  EXPECT_EQ(w.PreviousLetterButton, 1);
  EXPECT_EQ(w.List_Combo->count(), 2);
  EXPECT_EQ(Shown(w), w.List_Combo->itemText(0).toStdString());

  // Clicking the active letter again reloads its first title.
  w.CS_Load_Data(w.List_Combo->itemText(1).toStdString());
  w.Toolbar2_ButtonClick(b + 1);
  EXPECT_EQ(Face('B'), 1);
  EXPECT_EQ(Shown(w), w.List_Combo->itemText(0).toStdString());

  // A letter without titles cannot be chosen.
  const int c = 3 * 3 - 2;
  w.Toolbar2_ButtonClick(c + 2);
  EXPECT_EQ(w.SelectedLetter, "B");
  EXPECT_EQ(Face('C'), 2);

  // Choosing from the list loads that record.
  w.List_Combo->setCurrentIndex(1);
  w.List_Combo_Click();
  EXPECT_EQ(Shown(w), w.List_Combo->itemText(1).toStdString());
}

TEST_F(CatalogueTest, NextAndPreviousWrapAtBothEndsAndMoveTheLetter) {
  for (const char* n : {"Alpha", "Bravo", "Charlie"}) AddItem(2, n);
  auto& w = WindowOn(2);
  ASSERT_EQ(Shown(w), "Alpha");

  w.Toolbar1_ButtonClick(5);  // previous on the first record
  EXPECT_EQ(Shown(w), "Charlie");
  EXPECT_EQ(Face('C'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Charlie"}));

  w.Toolbar1_ButtonClick(6);  // next on the last record
  EXPECT_EQ(Shown(w), "Alpha");
  EXPECT_EQ(Face('A'), 1);
  EXPECT_EQ(Face('C'), 0);

  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Bravo");
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Alpha");
  w.Toolbar1_ButtonClick(5);
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(Shown(w), "Bravo");
}

// Accented titles stand among their base letter, in the list, on the
// letter bar and for previous/next; the list's highlighted entry is the
// record shown.
TEST_F(CatalogueTest, AccentedTitlesFileUnderTheirLetterAndTheListHighlightsTheRecordShown) {
  for (const char* n : {"Zappa", "\xC3\x89tude", "Eagles", "\xC3\xA9" "cole", "Ebb"}) AddItem(2, n);
  auto& w = WindowOn(2);
  const Strings e = {"Eagles", "Ebb", "\xC3\xA9" "cole", "\xC3\x89tude"};
  EXPECT_EQ(Face('E'), 1);
  EXPECT_EQ(Face('A'), 2);
  EXPECT_EQ(Face('Z'), 0);
  EXPECT_EQ(Items(w.List_Combo), e);
  EXPECT_EQ(w.List_Combo->currentIndex(), 0);

  for (int i = 1; i < 4; ++i) {
    w.Toolbar1_ButtonClick(6);
    EXPECT_EQ(Shown(w), e[size_t(i)]);
    EXPECT_EQ(w.List_Combo->currentIndex(), i);
    EXPECT_EQ(w.List_Combo->currentText().toStdString(), e[size_t(i)]);
  }
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Zappa");
  EXPECT_EQ(Face('Z'), 1);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Zappa"}));
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(Shown(w), "\xC3\x89tude");
  EXPECT_EQ(Items(w.List_Combo), e);
  EXPECT_EQ(w.List_Combo->currentIndex(), 3);

  // Opened, the list highlights the record shown.
  w.CS_Load_Data("Ebb");
  w.List_Combo->showPopup();
  EXPECT_EQ(w.List_Combo->view()->currentIndex().row(), 1);
  EXPECT_TRUE(w.List_Combo->view()->selectionModel()->isRowSelected(1, QModelIndex()));
  w.List_Combo->hidePopup();
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "Ebb");
}

TEST_F(CatalogueTest, SteppingInAnEmptySectionDoesNothing) {
  auto& w = WindowOn(4);
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "");
}

TEST_F(CatalogueTest, NamesWithQuotesAreFound) {
  AddItem(6, "O'Brien's Tapes", {{"cat_number", vb::Variant("T-1")}});
  AddItem(6, "Other");
  auto& w = WindowOn(6);
  w.CS_Load_Data("Other");
  w.CS_Load_Data("O'Brien's Tapes");
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "O'Brien's Tapes");
  EXPECT_EQ(w.Video_CatNum_Text->text().toStdString(), "T-1");
  EXPECT_EQ(vb::NzStr(w.SectionRecords->GetField("Name")), "O'Brien's Tapes");
}

TEST_F(CatalogueTest, NameMissingFromTheSectionEndsTheSearch) {
  AddItem(2, "Alpha");
  AddItem(2, "Bravo");
  AddItem(1, "Cassette Only");
  auto& w = WindowOn(2);
  w.Toolbar1_ButtonClick(6);  // stand on the second row

  // Not in the section (gone since the titles were read): the user is
  // told, and the record after it by name, round to the first, is shown.
  vb::PromptScript::Clear();
  w.CS_Load_Data("No Such Title");
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
  EXPECT_NE(vb::PromptScript::Texts().front().find("\"No Such Title\" was removed"), std::string::npos);
  EXPECT_EQ(Shown(w), "Alpha");
  EXPECT_TRUE(w.RecordRow);
  EXPECT_EQ(w.List_Combo->count(), 1);
  EXPECT_FALSE(w.SectionRecords->Eof());

  // In the section but not in the set walked (a selection that leaves it
  // out): the record is still shown.
  w.SectionRecords = tvn::App().CollectionDB->OpenRecordset(
      "select * from mediadata where sectionnumber = 2 and name <> 'Bravo' order by name");
  w.CS_Load_Data("Bravo");
  EXPECT_EQ(Shown(w), "Bravo");
  EXPECT_EQ(vb::NzStr(w.SectionRecords->GetField("Name")), "Alpha");
}

TEST_F(CatalogueTest, LetterScanAndListObeyTheSelection) {
  AddItem(2, "Alpha", {{"artist3", vb::Variant("Miles")}, {"cat_number", vb::Variant("12")}});
  AddItem(2, "Bravo", {{"artist1", vb::Variant("miles")}, {"cat_number", vb::Variant("7")}});
  AddItem(2, "Bongo", {{"artist1", vb::Variant("Miles")}, {"cat_number", vb::Variant("12")}});
  auto& w = WindowOn(2);

  w.MarkLettersWithTitles(1, "Miles");
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(Face('B'), 0);
  std::string letter = "B";
  w.FillTitleListForLetter(letter, 1, "Miles");
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Bongo"}));

  w.MarkLettersWithTitles(5, "7");
  EXPECT_EQ(Face('A'), 2);
  EXPECT_EQ(Face('B'), 0);

  letter = "?";
  w.FillTitleListForLetter(letter, 0, "");
  EXPECT_EQ(letter, "A");
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Alpha"}));
}

TEST_F(CatalogueTest, CatalogueNumberListHoldsEachNumberOnce) {
  AddItem(6, "Alpha", {{"cat_number", vb::Variant("12")}});
  AddItem(6, "Bravo", {{"cat_number", vb::Variant("7")}});
  AddItem(6, "Charlie", {{"cat_number", vb::Variant("12")}});
  AddItem(6, "Delta");  // no number
  auto& w = WindowOn(6);
  w.Toolbar1_ButtonClick(6);
  QComboBox list;
  w.FillCatalogNumberList(&list);
  EXPECT_EQ(Items(&list), (Strings{"12", "7"}));
  EXPECT_TRUE(w.ListHasItems);
  // The record pointer is back where it stood.
  EXPECT_EQ(vb::NzStr(w.SectionRecords->GetField("Name")), "Bravo");
}

TEST_F(CatalogueTest, FileLocationChooserFillsTheBoxOrLeavesIt) {
  AddItem(8, "Track");
  auto& w = WindowOn(8);
  w.FileLocationText->setText("/old/place.mp3");
  vb::PromptScript::AnswerText("");
  w.Flocation_Click();
  EXPECT_EQ(w.FileLocationText->text().toStdString(), "/old/place.mp3");
  vb::PromptScript::AnswerText("/music/new.mp3");
  w.Flocation_Click();
  EXPECT_EQ(w.FileLocationText->text().toStdString(), "/music/new.mp3");
}

TEST_F(CatalogueTest, ANewlyOpenedSetIsListedAfresh) {
  AddItem(2, "Alpha");
  AddItem(2, "Avalon");
  auto& w = WindowOn(2);
  ASSERT_EQ(w.List_Combo->count(), 2);
  // As a selection does: the walked set is replaced by a narrower one.
  w.SectionRecords = tvn::App().CollectionDB->OpenRecordset(
      "select * from mediadata where sectionnumber = 2 and name = 'Avalon' order by name");
  w.RefreshTitleList();
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Avalon"}));
  EXPECT_EQ(Shown(w), "Avalon");
  // Stepping never leaves the set.
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Avalon");
}

// Whatever the titles begin with, the letters lit and each letter's list
// are those of the section's records read in full, in the set's order.
TEST_F(CatalogueTest, LettersAndListsAreThoseOfTheWholeSectionRead) {
  const Strings names = {"Zork", "zap", "\u00c9chec", "\u00e9clair", "Ecco", "3D Tetris", "'Round", "\u4e2d\u6587",
                         "\u03a9mega", "\u00c4rger", "apple", "Apple", "", "[Bracket]", "_under", "{brace}", "~tilde",
                         "\xF0\x9F\x98\x80 Smile", "\u00d8resund", "Z", "z", "1942", "Caf\u00e9 B", "Cafe A", "caf\u00e9 a"};
  for (const std::string& name : names) AddItem(2, name);
  AddItem(1, "Quake");
  std::map<char, Strings> expected;
  auto rs = tvn::App().CollectionDB->OpenRecordset("select * from mediadata where sectionnumber = 2 order by name");
  for (; !rs->Eof(); rs->MoveNext()) {
    const std::string name = vb::NzStr(rs->GetField("Name"));
    expected[forms::TitleLetter(name)[0]].push_back(name);
  }
  rs->Close();

  auto& w = WindowOn(2);
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    EXPECT_EQ(Face(letter), letter == 'A' ? 1 : expected.count(letter) ? 0 : 2) << letter;
  EXPECT_EQ(Shown(w), expected['A'].front());
  for (const auto& [letter, titles] : expected) {
    SCOPED_TRACE(std::string(1, letter));
    w.Toolbar2_ButtonClick(3 * (letter - 'A') + 1);
    EXPECT_EQ(Items(w.List_Combo), titles);
    EXPECT_EQ(Shown(w), titles.front());
  }
}

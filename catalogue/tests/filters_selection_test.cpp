// The View menu's selections: which section offers which, what the chooser
// lists, what a pick narrows the title list to, and the way back to the
// whole section.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "catalogue/tests/MenuTestSupport.h"
#include "core/ArtistForm.h"
#include "core/Windows.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::MenuTest;
using Strings = std::vector<std::string>;
using V = vb::Variant;

namespace {

// The names of SectionRecords' rows in its order.
Strings RowNames(tvn::NewMain_Form& w) {
  Strings names;
  auto& rs = *w.SectionRecords;
  if (rs.BOF() && rs.Eof()) return names;
  rs.MoveFirst();
  while (!rs.Eof()) {
    names.push_back(vb::NzStr(rs.GetField("name")));
    rs.MoveNext();
  }
  rs.MoveFirst();
  return names;
}

// The View entries that carry a check mark.
Strings Checked(tvn::NewMain_Form& w) {
  Strings out;
  for (QAction* a : {w.View_All_Artists_Menu, w.Artist_Select_Menu, w.Category_Select_Menu, w.Label_Select_Menu,
                     w.Format_Select_Menu, w.Tape_Select_Menu, w.SortSelectmenu})
    if (a->isChecked()) out.push_back(a->objectName().toStdString());
  return out;
}

}  // namespace

TEST_F(MenuTest, EachSectionOffersItsSelections) {
  struct Expect {
    int section;
    bool artist, format, tape;
  };
  // Category and label are offered everywhere; the rest as the section's
  // fields allow.
  const Expect expected[] = {{1, true, true, false},  {2, true, false, false}, {3, true, false, false},
                             {4, true, false, false}, {5, true, true, false},  {6, true, true, true},
                             {7, true, true, false},  {8, true, true, false},  {9, false, true, false}};
  auto& w = Window();
  for (const Expect& e : expected) {
    w.ItemClickProcess(tvn::Byte(e.section));
    SCOPED_TRACE(e.section);
    EXPECT_EQ(w.Artist_Select_Menu->isVisible(), e.artist);
    EXPECT_TRUE(w.Category_Select_Menu->isVisible());
    EXPECT_TRUE(w.Label_Select_Menu->isVisible());
    EXPECT_EQ(w.Format_Select_Menu->isVisible(), e.format);
    EXPECT_EQ(w.Tape_Select_Menu->isVisible(), e.tape);
    EXPECT_EQ(w.SortSelectmenu->isVisible(), e.tape);
  }
}

TEST_F(MenuTest, ArtistSelectionFindsTheArtistInAnyOfTheFourFieldsAndViewAllEndsIt) {
  AddArtist("Miles Davis", {"cd"});
  AddArtist("John Coltrane", {"cd"});
  AddArtist("Elvis", {"VT"});  // another section's artist is not offered
  AddItem(2, "Kind of Blue", {{"artist1", V("Miles Davis")}});
  AddItem(2, "Bitches Brew", {{"artist2", V("Wayne Shorter")}, {"artist4", V("Miles Davis")}});
  AddItem(2, "Giant Steps", {{"artist1", V("John Coltrane")}});
  AddItem(2, "Blue Train", {{"artist1", V("John Coltrane")}, {"artist3", V("MILES DAVIS")}});
  AddItem(1, "Tape of Miles", {{"artist1", V("Miles Davis")}});
  auto& w = Shown(2);

  bool framesLockedWhileChoosing = false;
  whileChoosing = [&] { framesLockedWhileChoosing = !w.Music_Data_Frame->isEnabled(); };
  pick = "Miles Davis";
  w.Artist_Select_Menu->trigger();

  EXPECT_EQ(chooserPrompt, "Pick the desired Artist from the list above");
  EXPECT_EQ(chooserItems, (Strings{"John Coltrane", "Miles Davis"}));
  EXPECT_EQ(chooserPickWas, -1) << "nothing is picked before the user picks";
  EXPECT_TRUE(framesLockedWhileChoosing);
  EXPECT_TRUE(w.Music_Data_Frame->isEnabled());
  EXPECT_EQ(w.SelectionMode, 1);
  EXPECT_EQ(w.SelectionValue, "Miles Davis");
  // Any of the four artist fields, in any letter case; only this section.
  EXPECT_EQ(RowNames(w), (Strings{"Bitches Brew", "Blue Train", "Kind of Blue"}));
  EXPECT_EQ(Checked(w), (Strings{"Artist_Select_Menu"}));
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Bitches Brew");
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Bitches Brew"}));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());

  w.View_All_Artists_Menu->trigger();
  EXPECT_EQ(w.SelectionMode, 0);
  EXPECT_EQ(w.SelectionValue, "");
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_EQ(RowNames(w), (Strings{"Bitches Brew", "Blue Train", "Giant Steps", "Kind of Blue"}));
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Bitches Brew", "Blue Train"}));
}

TEST_F(MenuTest, CategoryLabelAndFormatSelectionsNarrowTheSection) {
  AddLookup("category", "category", "Drama", {"DVD"});
  AddLookup("category", "category", "Comedy", {"DVD"});
  AddLookup("labelstudio", "LabelStudio_Name", "Blue Note", {"lp"});
  AddItem(3, "Brazil", {{"category", V("Comedy")}});
  AddItem(3, "Ran", {{"category", V("Drama")}});
  AddItem(3, "Ikiru", {{"category", V("Drama")}});
  AddItem(5, "Somethin' Else", {{"labelstudio", V("Blue Note")}});
  AddItem(5, "Time Out", {{"labelstudio", V("Columbia")}});
  AddItem(1, "Mixtape", {{"format_type", V("Cassette")}});
  AddItem(1, "Car Tape", {{"format_type", V("8 Track")}});

  auto& w = Shown(3);
  pick = "Drama";
  w.Category_Select_Menu_Click();
  EXPECT_EQ(chooserPrompt, "Pick the desired Category from the list above");
  EXPECT_EQ(chooserItems, (Strings{"Comedy", "Drama"}));
  EXPECT_EQ(w.SelectionMode, 2);
  EXPECT_EQ(RowNames(w), (Strings{"Ikiru", "Ran"}));
  EXPECT_EQ(Checked(w), (Strings{"Category_Select_Menu"}));

  w.ItemClickProcess(5);
  pick = "Blue Note";
  w.Label_Select_Menu_Click();
  EXPECT_EQ(chooserPrompt, "Pick the desired Label from the list above");
  EXPECT_EQ(w.SelectionMode, 3);
  EXPECT_EQ(RowNames(w), (Strings{"Somethin' Else"}));
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Somethin' Else");

  w.ItemClickProcess(1);
  pick = "8 Track";
  w.Format_Select_Menu_Click();
  EXPECT_EQ(chooserPrompt, "Pick the desired Format from the list above");
  EXPECT_EQ(chooserItems, (Strings{"Cassette", "8 Track"}));
  EXPECT_EQ(w.SelectionMode, 4);
  EXPECT_EQ(RowNames(w), (Strings{"Car Tape"}));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(MenuTest, SelectionWithoutMatchOrWithoutChoicesReturnsToTheWholeSection) {
  AddLookup("category", "category", "Horror", {"DVD"});
  AddItem(3, "Brazil", {{"category", V("Comedy")}});
  AddItem(3, "Ran", {{"category", V("Drama")}});
  auto& w = Shown(3);

  // A category no record holds.
  pick = "Horror";
  w.Category_Select_Menu_Click();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "No records found for selection");
  EXPECT_EQ(vb::PromptScript::Records()[0].title, "No records found");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly);
  EXPECT_EQ(w.SelectionMode, 0);
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_EQ(RowNames(w), (Strings{"Brazil", "Ran"}));

  // No artist is flagged for DVDs: the chooser is not shown at all.
  vb::PromptScript::Clear();
  const int shown = choosersShown;
  w.Artist_Select_Menu_Click();
  EXPECT_EQ(choosersShown, shown);
  EXPECT_EQ(vb::PromptScript::Texts(), (Strings{"No items for selection"}));
  EXPECT_EQ(vb::PromptScript::Records()[0].title, "No records found");
  EXPECT_EQ(w.SelectionMode, 0);
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_TRUE(w.Video_Data_Frame->isEnabled());

  // The chooser closed without a pick selects nothing and says nothing.
  vb::PromptScript::Clear();
  pick = "";
  w.Category_Select_Menu_Click();
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(RowNames(w), (Strings{"Brazil", "Ran"}));
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
}

// A chooser closed without a pick, by its window's close box or with no
// entry chosen, leaves the selection as it was: its records, its View
// entry, the record on show and the record frames.
TEST_F(MenuTest, AChooserClosedWithoutAPickLeavesTheSelectionAsItWas) {
  AddArtist("Miles Davis", {"cd"});
  AddLookup("category", "category", "Jazz", {"cd"});
  AddLookup("labelstudio", "LabelStudio_Name", "Blue Note", {"cd"});
  AddItem(2, "Kind of Blue", {{"artist1", V("Miles Davis")}, {"category", V("Jazz")}});
  AddItem(2, "Nameless");  // no artist, category or label: what an empty pick would find
  AddItem(2, "Other", {{"category", V("Jazz")}, {"labelstudio", V("Blue Note")}});
  auto& w = Shown(2);
  pick = "Miles Davis";
  w.Artist_Select_Menu->trigger();
  ASSERT_EQ(RowNames(w), (Strings{"Kind of Blue"}));
  vb::PromptScript::Clear();

  auto expectArtistSelection = [&](const char* how) {
    SCOPED_TRACE(how);
    EXPECT_TRUE(vb::PromptScript::Texts().empty());
    EXPECT_EQ(w.SelectionMode, 1);
    EXPECT_EQ(w.SelectionValue, "Miles Davis");
    EXPECT_EQ(Checked(w), (Strings{"Artist_Select_Menu"}));
    EXPECT_EQ(RowNames(w), (Strings{"Kind of Blue"}));
    EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Kind of Blue");
    EXPECT_TRUE(w.Music_Data_Frame->isEnabled());
  };
  // The close box, after an entry was highlighted but not picked. The
  // launcher stays loaded meanwhile, as it does in the program.
  tvn::Form launcher;
  launcher.Load();
  pick = "Jazz";
  whileChoosing = [] { tvn::win::SortForm.Peek()->close(); };
  w.Category_Select_Menu->trigger();
  EXPECT_FALSE(tvn::win::SortForm.Loaded());
  expectArtistSelection("category chooser closed by its close box");
  pick = "Blue Note";
  w.Label_Select_Menu->trigger();
  expectArtistSelection("label chooser closed by its close box");

  // Back without a chosen entry.
  whileChoosing = nullptr;
  pick = "";
  w.Category_Select_Menu->trigger();
  expectArtistSelection("category chooser without an entry");
  // The selection is still whole afterwards: Next stays within it.
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Kind of Blue");
}

// After a lookup editor closes, the selection runs again: a rename of
// another entry keeps it, a rename of the selected entry leaves nothing to
// select, and the whole section comes back with the word for that.
TEST_F(MenuTest, ASelectionRunsAgainAfterALookupEditorCloses) {
  AddArtist("Miles Davis", {"cd"});
  AddArtist("John Coltrane", {"cd"});
  AddItem(2, "Kind of Blue", {{"artist1", V("Miles Davis")}});
  AddItem(2, "Giant Steps", {{"artist1", V("John Coltrane")}});
  AddItem(2, "Blue Train", {{"artist2", V("John Coltrane")}});
  auto& w = Shown(2);
  pick = "John Coltrane";
  w.Artist_Select_Menu->trigger();
  ASSERT_EQ(RowNames(w), (Strings{"Blue Train", "Giant Steps"}));
  vb::PromptScript::Clear();

  std::string from, to;
  whileOpen = [&] {
    tvn::ArtistForm editor;
    editor.Form_Load();
    editor.Select_Item_Combo->setCurrentIndex(editor.Select_Item_Combo->findText(QString::fromStdString(from)));
    editor.Select_Item_Combo_Click();
    editor.Artist_Name_text->setText(QString::fromStdString(to));
    editor.Toolbar1_ButtonClick(tvn::LookupEditorForm::btnFile);
  };
  from = "Miles Davis";
  to = "Miles Dewey Davis";
  w.ArtistManagerMenu->trigger();
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(w.SelectionMode, 1);
  EXPECT_EQ(RowNames(w), (Strings{"Blue Train", "Giant Steps"}));
  EXPECT_EQ(Checked(w), (Strings{"Artist_Select_Menu"}));

  from = "John Coltrane";
  to = "Trane";
  w.ArtistManagerMenu->trigger();
  EXPECT_EQ(vb::PromptScript::Texts(), (Strings{"No records found for selection"}));
  EXPECT_EQ(w.SelectionMode, 0);
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_EQ(RowNames(w), (Strings{"Blue Train", "Giant Steps", "Kind of Blue"}));
  const std::string first = w.CS_Name_Text->text().toStdString();
  EXPECT_FALSE(first.empty());
  w.Toolbar1_ButtonClick(6);
  EXPECT_NE(w.CS_Name_Text->text().toStdString(), first) << "Next moves on";
}

TEST_F(MenuTest, SelectionInAnEmptySectionDoesNothing) {
  AddArtist("Miles Davis", {"cd"});
  auto& w = Shown(2);
  w.Artist_Select_Menu->trigger();
  EXPECT_EQ(choosersShown, 0);
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  // The menu's own toggle does not leave the entry checked.
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
}

TEST_F(MenuTest, ValuesWithQuotesAndWildcardsSelectExactlyThatValue) {
  AddArtist("O'Brien", {"cd"});
  AddArtist("O''Brien", {"cd"});
  AddLookup("category", "category", "Rock*", {"cd"});
  AddLookup("category", "category", "100%", {"cd"});
  AddItem(2, "Irish Songs", {{"artist1", V("O'Brien")}, {"category", V("Rock*")}});
  AddItem(2, "Doubled", {{"artist1", V("O''Brien")}, {"category", V("100%")}});
  AddItem(2, "Rockabilly", {{"artist1", V("OBrien")}, {"category", V("Rockabilly")}});
  AddItem(2, "Full", {{"category", V("1000")}});
  auto& w = Shown(2);

  pick = "O'Brien";
  w.Artist_Select_Menu_Click();
  EXPECT_EQ(RowNames(w), (Strings{"Irish Songs"}));
  pick = "O''Brien";
  w.Artist_Select_Menu_Click();
  EXPECT_EQ(RowNames(w), (Strings{"Doubled"}));
  pick = "Rock*";
  w.Category_Select_Menu_Click();
  EXPECT_EQ(RowNames(w), (Strings{"Irish Songs"}));
  pick = "100%";
  w.Category_Select_Menu_Click();
  EXPECT_EQ(RowNames(w), (Strings{"Doubled"}));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(MenuTest, TapeSelectionKeepsTheSetAndListsOnlyThatTape) {
  AddItem(6, "Alien", {{"cat_number", V("T2")}, {"TapeIndex", V("1")}});
  AddItem(6, "Brazil", {{"cat_number", V("T1")}, {"TapeIndex", V("2")}});
  AddItem(6, "Aliens", {{"cat_number", V("T2")}, {"TapeIndex", V("2")}});
  AddItem(6, "Blade Runner", {{"cat_number", V("T1")}, {"TapeIndex", V("1")}});
  AddItem(6, "Untaped");
  auto& w = Shown(6);

  pick = "T1";
  w.Tape_Select_Menu_Click();
  EXPECT_EQ(chooserPrompt, "Pick the desired Tape # from the list above");
  EXPECT_EQ(chooserItems, (Strings{"T2", "T1"}));
  EXPECT_EQ(w.SelectionMode, 5);
  EXPECT_EQ(w.SelectionValue, "T1");
  EXPECT_EQ(RowNames(w).size(), 5u) << "no query: the set stays as it was";
  EXPECT_EQ(Face('B'), 1);
  EXPECT_EQ(Face('A'), 2) << "the A titles are on another tape";
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Blade Runner", "Brazil"}));
  EXPECT_EQ(Checked(w), (Strings{"Tape_Select_Menu"}));
}

TEST_F(MenuTest, TapeSortOrdersByTapeAndIndexAndFallsBackWithoutTapes) {
  // No video tapes: the section by name, with "all records" checked.
  {
    AddItem(3, "Zelig");
    auto& w = Shown(6);
    w.SortSelectmenu->trigger();
    EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
    EXPECT_TRUE(RowNames(w).empty());
    EXPECT_EQ(w.List_Combo->count(), 0);
  }
  AddItem(6, "Alien", {{"cat_number", V("T2")}, {"TapeIndex", V("1")}});
  AddItem(6, "Brazil", {{"cat_number", V("T1")}, {"TapeIndex", V("2")}});
  AddItem(6, "Aliens", {{"cat_number", V("T2")}, {"TapeIndex", V("2")}});
  AddItem(6, "Blade Runner", {{"cat_number", V("T1")}, {"TapeIndex", V("1")}});
  auto& w = Shown(6);
  w.SelectionMode = 0;
  w.SortSelectmenu->trigger();
  EXPECT_EQ(RowNames(w), (Strings{"Blade Runner", "Brazil", "Alien", "Aliens"}));
  EXPECT_EQ(Checked(w), (Strings{"SortSelectmenu"}));
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Blade Runner");
  EXPECT_EQ(w.SelectionMode, 0);

  // Next walks the tape order.
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Brazil");
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Alien");
}

TEST_F(MenuTest, TapeSortStaysAfterFileAndDelete) {
  AddItem(6, "Alien", {{"cat_number", V("T2")}, {"TapeIndex", V("1")}});
  AddItem(6, "Brazil", {{"cat_number", V("T1")}, {"TapeIndex", V("2")}});
  AddItem(6, "Zelig", {{"cat_number", V("T0")}, {"TapeIndex", V("1")}});
  AddItem(6, "Blade Runner", {{"cat_number", V("T1")}, {"TapeIndex", V("1")}});
  auto& w = Shown(6);
  w.SelectionMode = 0;
  w.SortSelectmenu->trigger();
  ASSERT_EQ(RowNames(w), (Strings{"Zelig", "Blade Runner", "Brazil", "Alien"}));

  w.Video_TTime_Text->setText("90");
  w.Toolbar1_ButtonClick(3);  // File
  EXPECT_EQ(RowNames(w), (Strings{"Zelig", "Blade Runner", "Brazil", "Alien"}));
  EXPECT_EQ(Checked(w), (Strings{"SortSelectmenu"}));

  vb::PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(4);  // Delete the one shown
  EXPECT_EQ(RowNames(w), (Strings{"Blade Runner", "Brazil", "Alien"}));
  EXPECT_EQ(Checked(w), (Strings{"SortSelectmenu"}));
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Blade Runner");
  w.Toolbar1_ButtonClick(6);  // Next follows the tapes
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Brazil");
}

TEST_F(MenuTest, ASectionSwitchEndsTheSelectionAndTheTapeOrder) {
  AddItem(6, "Alien", {{"cat_number", V("T2")}, {"category", V("Horror")}});
  AddItem(6, "Brazil", {{"cat_number", V("T1")}, {"category", V("Comedy")}});
  AddLookup("category", "category", "Comedy", {"VT"});
  auto& w = Shown(6);
  w.SortSelectmenu->trigger();
  ASSERT_EQ(Checked(w), (Strings{"SortSelectmenu"}));
  w.ItemClickProcess(2);
  w.ItemClickProcess(6);
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_EQ(RowNames(w), (Strings{"Alien", "Brazil"}));

  pick = "Comedy";
  w.Category_Select_Menu->trigger();
  ASSERT_EQ(w.SelectionMode, 2);
  w.ItemClickProcess(6);
  EXPECT_EQ(w.SelectionMode, 0);
  EXPECT_EQ(Checked(w), (Strings{"View_All_Artists_Menu"}));
  EXPECT_EQ(RowNames(w), (Strings{"Alien", "Brazil"}));
}

TEST_F(MenuTest, FilingAndDeletingUnderTheTapeSelectionKeepItsListTrue) {
  AddItem(6, "Alien", {{"cat_number", V("T2")}});
  AddItem(6, "Brazil", {{"cat_number", V("T1")}});
  AddItem(6, "Blade Runner", {{"cat_number", V("T1")}});
  auto& w = Shown(6);
  pick = "T1";
  w.Tape_Select_Menu_Click();
  ASSERT_EQ(Items(w.List_Combo), (Strings{"Blade Runner", "Brazil"}));
  ASSERT_EQ(w.Video_Name_Text->text().toStdString(), "Blade Runner");

  // A record filed on the chosen tape joins the list and can be stepped to.
  w.Toolbar1_ButtonClick(1);
  w.Video_Name_Text->setText("Batman");
  w.Video_CatNum_Text->setText("T1");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(w.SelectionMode, 5);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Batman", "Blade Runner", "Brazil"}));
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Batman");
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Blade Runner");

  // A deleted one leaves it.
  vb::PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(4);
  EXPECT_EQ(w.SelectionMode, 5);
  EXPECT_EQ(Items(w.List_Combo), (Strings{"Batman", "Brazil"}));
  EXPECT_NE(w.Video_Name_Text->text().toStdString(), "Blade Runner");
  EXPECT_EQ(vb::PromptScript::Records().size(), 1u) << "only the delete question";
}

// The chooser as the program shows it: its entries in the letter order of
// the title list whatever order the lists give them, a title naming what is
// chosen, and centred on the catalogue window; a pick selects that entry.
TEST_F(MenuTest, TheChooserListsInLetterOrderUnderATitleOverTheWindow) {
  const std::string edith = "\xC3\x89" "dith Piaf";
  for (const std::string& name : {std::string("Zappa, Frank"), edith, std::string("miles davis")})
    AddArtist(name, {"cd"});
  AddLookup("category", "category", "\xC3\xA9lectro", {"cd"});
  AddLookup("category", "category", "Rock", {"cd"});
  AddItem(2, "La Vie en rose", {{"artist1", V(edith)}});
  AddItem(2, "Hot Rats", {{"artist1", V("Zappa, Frank")}, {"category", V("Rock")}});
  auto& w = Shown(2);
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  struct Seen {
    Strings items;
    std::string title;
    QPoint centre;
    bool onScreen = false;
  } seen;
  std::string choose;
  tvn::MenuHooks::Get().showChooser = [&](tvn::SortForm& chooser) {
    QTimer::singleShot(0, &chooser, [&] {
      tvn::SortForm* c = tvn::win::SortForm.Peek();
      ASSERT_TRUE(c);
      seen.items.clear();
      for (int i = 0; i < c->Choice_List->count(); ++i) seen.items.push_back(c->Choice_List->itemText(i).toStdString());
      seen.title = c->windowTitle().toStdString();
      seen.centre = c->frameGeometry().center();
      seen.onScreen = ::tvn::test::OnScreen(c->Choice_List) && ::tvn::test::OnScreen(c->Select_Label);
      const int at = c->Choice_List->findText(QString::fromStdString(choose));
      c->Choice_List->setCurrentIndex(at);
      emit c->Choice_List->activated(at);
    });
    chooser.ShowModal();
  };

  choose = edith;
  w.Artist_Select_Menu->trigger();
  EXPECT_EQ(seen.items, (Strings{edith, "miles davis", "Zappa, Frank"}));
  EXPECT_EQ(seen.title, "Select an Artist");
  EXPECT_TRUE(seen.onScreen);
  const QPoint centre = w.frameGeometry().center();
  EXPECT_LE((seen.centre - centre).manhattanLength(), 40)
      << seen.centre.x() << "," << seen.centre.y() << " over " << centre.x() << "," << centre.y();
  EXPECT_EQ(w.SelectionValue, edith);
  EXPECT_EQ(RowNames(w), (Strings{"La Vie en rose"}));

  choose = "Rock";
  w.Category_Select_Menu->trigger();
  EXPECT_EQ(seen.items, (Strings{"\xC3\xA9lectro", "Rock"}));
  EXPECT_EQ(seen.title, "Select a Category");
  EXPECT_EQ(RowNames(w), (Strings{"Hot Rats"}));
}

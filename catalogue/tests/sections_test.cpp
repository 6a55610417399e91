// Choosing a section sets the window up for it: caption, frames, lists,
// menus and the user-field captions.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using Strings = std::vector<std::string>;

TEST_F(CatalogueTest, VideoTapeSectionShowsTapeFieldsAndTapeMenus) {
  AddItem(6, "Casablanca", {{"format_type2", vb::Variant("Stereo")}});
  AddItem(6, "Brazil", {{"format_type2", vb::Variant("Mono")}});
  AddItem(3, "Alien", {{"format_type2", vb::Variant("Dolby 5.1")}});
  auto& w = WindowOn(6);

  EXPECT_EQ(w.windowTitle().toStdString(), "The Tavolin - My Collection: Video Tapes");
  EXPECT_EQ(w.Video_Name_Label->text().toStdString(), "Video Tape Name");
  EXPECT_FALSE(w.Video_Data_Frame->isHidden());
  EXPECT_TRUE(w.Music_Data_Frame->isHidden());
  EXPECT_TRUE(w.SCD_Data_Frame->isHidden());
  EXPECT_FALSE(w.VT_Frame2->isHidden());
  EXPECT_TRUE(w.DVDLD_Frame2->isHidden());
  EXPECT_FALSE(w.Label20->isHidden());
  EXPECT_FALSE(w.TapeIndex->isHidden());
  EXPECT_EQ(w.Label7->text().toStdString(), "Tape Number");

  EXPECT_EQ(Items(w.VT_Format_List_Text), (Strings{"VHS", "Super VHS", "VHS-C", "8mm", "Beta"}));
  EXPECT_EQ(Items(w.Speed_List), (Strings{"SP", "LP", "EP"}));
  EXPECT_EQ(Items(w.Video_Rating_Combo), (Strings{"G", "PG", "PG13", "R", "NC17", "NR", "X", "X+"}));
  EXPECT_EQ(Items(w.QRating), (Strings{"5-Star", "4.5-Star", "4-Star", "3.5-Star", "3-Star", "2.5-Star", "2-Star",
                                       "1.5-Star", "1-Star", ".5-Star", "Turkey"}));
  // Only this section's sound formats, each once, in order.
  EXPECT_EQ(Items(w.Video_Sound_Text), (Strings{"Mono", "Stereo"}));

  EXPECT_TRUE(w.Tape_Select_Menu->isVisible());
  EXPECT_TRUE(w.SortSelectmenu->isVisible());
  EXPECT_TRUE(w.Artist_Select_Menu->isVisible());
  EXPECT_TRUE(w.Format_Select_Menu->isVisible());
  EXPECT_TRUE(w.View_All_Artists_Menu->isChecked());
  EXPECT_EQ(w.SelectionMode, 0);
  // The first title in name order is shown.
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Brazil");
}

TEST_F(CatalogueTest, DiscSectionsShowDiscFieldsAndNoFormatOrTapeMenus) {
  AddItem(4, "Koyaanisqatsi");
  auto& w = WindowOn(4);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Tavolin - My Collection: Laser Discs");
  EXPECT_EQ(w.Video_Name_Label->text().toStdString(), "Laser Disc Name");
  EXPECT_TRUE(w.VT_Frame2->isHidden());
  EXPECT_FALSE(w.DVDLD_Frame2->isHidden());
  EXPECT_TRUE(w.Label20->isHidden());
  EXPECT_TRUE(w.TapeIndex->isHidden());
  EXPECT_EQ(w.Label7->text().toStdString(), "Catalog/Index Number");
  EXPECT_EQ(Items(w.Video_Sides_Combo), (Strings{"1", "2"}));
  EXPECT_FALSE(w.Format_Select_Menu->isVisible());
  EXPECT_FALSE(w.Tape_Select_Menu->isVisible());
  EXPECT_FALSE(w.SortSelectmenu->isVisible());

  // Back to video tapes and then DVDs: the lists are refilled, not appended to.
  w.ItemClickProcess(6);
  w.ItemClickProcess(3);
  EXPECT_EQ(w.Video_Name_Label->text().toStdString(), "DVD Name");
  EXPECT_EQ(Items(w.Video_Sides_Combo), (Strings{"1", "2"}));
  EXPECT_EQ(w.Video_Rating_Combo->count(), 8);
}

TEST_F(CatalogueTest, MusicSectionsShareTheFormatListAndShowTheirOwnFields) {
  AddItem(1, "Abbey Road");
  auto& w = WindowOn(1);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Tavolin - My Collection: Cassettes");
  EXPECT_EQ(w.CSLP_Name_Label->text().toStdString(), "Cassette Name");
  EXPECT_FALSE(w.Music_Data_Frame->isHidden());
  EXPECT_TRUE(w.Video_Data_Frame->isHidden());
  EXPECT_FALSE(w.CS_Format_List_Text->isHidden());
  EXPECT_FALSE(w.Label10->isHidden());
  EXPECT_TRUE(w.CDFrame->isHidden());
  EXPECT_TRUE(w.Label5->isHidden());
  EXPECT_TRUE(w.Label11->isHidden());
  EXPECT_TRUE(w.FileLocationText->isHidden());
  EXPECT_EQ(Items(w.CS_Format_List_Text), (Strings{"Cassette", "8 Track"}));
  EXPECT_TRUE(w.Format_Select_Menu->isVisible());

  w.ItemClickProcess(5);
  EXPECT_EQ(w.CSLP_Name_Label->text().toStdString(), "LP Name");
  EXPECT_EQ(Items(w.CS_Format_List_Text), (Strings{"33 1/3", "45", "78"}));

  w.ItemClickProcess(7);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Tavolin - My Collection: MiniDiscs");
  EXPECT_TRUE(w.CS_Format_List_Text->isHidden());
  EXPECT_TRUE(w.CDFrame->isHidden());
  EXPECT_FALSE(w.Label5->isHidden());
  EXPECT_FALSE(w.Label11->isHidden());

  w.ItemClickProcess(8);
  EXPECT_EQ(w.CSLP_Name_Label->text().toStdString(), "MP3 Name");
  EXPECT_FALSE(w.FileLocationText->isHidden());
  EXPECT_FALSE(w.Flocation->isHidden());
  EXPECT_FALSE(w.PlayButton->isHidden());
  EXPECT_TRUE(w.Tape_Select_Menu->isVisible() == false);
}

TEST_F(CatalogueTest, EnteringCompactDiscsTwiceKeepsOneChangerList) {
  AddItem(2, "Kind of Blue");
  auto& w = WindowOn(2);
  w.ItemClickProcess(2);
  EXPECT_EQ(Items(w.PlayerCombo), (Strings{"Master", "Slave"}));
  EXPECT_FALSE(w.CDFrame->isHidden());
  EXPECT_FALSE(w.Label5->isHidden());
  EXPECT_TRUE(w.CS_Format_List_Text->isHidden());
  EXPECT_FALSE(w.Format_Select_Menu->isVisible());
  EXPECT_EQ(w.CSLP_Name_Label->text().toStdString(), "CD Name");
}

TEST_F(CatalogueTest, SoftwareSectionHasItsOwnFrameAndNoArtistSelection) {
  AddItem(9, "Compiler Suite", {{"homepage", vb::Variant("example.org")}});
  auto& w = WindowOn(9);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Tavolin - My Collection: Software");
  EXPECT_FALSE(w.SCD_Data_Frame->isHidden());
  EXPECT_TRUE(w.Music_Data_Frame->isHidden());
  EXPECT_TRUE(w.Video_Data_Frame->isHidden());
  EXPECT_FALSE(w.Artist_Select_Menu->isVisible());
  EXPECT_TRUE(w.Format_Select_Menu->isVisible());
  EXPECT_TRUE(w.FileLocationText->isHidden());
  EXPECT_EQ(w.SCD_Name_Text->text().toStdString(), "Compiler Suite");
  EXPECT_EQ(w.Homepage_text->text().toStdString(), "example.org");
  EXPECT_TRUE(tvn::AVData()->SCD_On());
  EXPECT_FALSE(tvn::AVData()->MusicOn());
  EXPECT_FALSE(tvn::AVData()->VideoOn());
}

TEST_F(CatalogueTest, ListBarMapsCaptionsToSectionsAndIgnoresGroupHeaders) {
  auto& w = WindowOn(6);
  w.SSListBar1_ItemClick("Audio");
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 6);
  w.SSListBar1_ItemClick("compact discs");  // letter case matters
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 6);
  w.SSListBar1_ItemClick("Compact Discs");
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 2);
  EXPECT_TRUE(tvn::AVData()->CD_On());
  EXPECT_TRUE(tvn::AVData()->MusicOn());
  EXPECT_FALSE(tvn::AVData()->VT_On());
  EXPECT_FALSE(tvn::AVData()->CSEnter());
}

TEST_F(CatalogueTest, UserFieldCaptionsComeFromTheSectionsCaptionTable) {
  auto db = tvn::App().CollectionDB;
  db->Execute("update cdcaption set f3 = 'Producer', f4 = null");
  auto& w = WindowOn(2);
  EXPECT_EQ(w.fCap[0]->text().toStdString(), "My Field 1");
  EXPECT_EQ(w.fCap[2]->text().toStdString(), "Producer");
  EXPECT_EQ(w.fCap[3]->text().toStdString(), "");
  w.ItemClickProcess(1);
  EXPECT_EQ(w.fCap[2]->text().toStdString(), "My Field 3");
}

TEST_F(CatalogueTest, CaptionTableWithoutRowGivesEmptyCaptions) {
  tvn::App().CollectionDB->Execute("delete * from vtcaption");
  AddItem(6, "Brazil");
  auto& w = WindowOn(6);
  for (QLabel* cap : w.fCap) EXPECT_EQ(cap->text().toStdString(), "");
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Brazil");
}

TEST_F(CatalogueTest, SectionWithoutRecordsShowsTheEmptyEditor) {
  AddItem(6, "Brazil");
  auto& w = WindowOn(6);
  w.ItemClickProcess(3);  // no DVDs
  EXPECT_EQ(w.List_Combo->count(), 0);
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(Face(c), 2) << c;
  EXPECT_EQ(tvn::NewMain_Form::BackColourOf(w.Video_Name_Text), tvn::NewMain_Form::kLockedColour);
  EXPECT_FALSE(w.Video_Name_Text->isEnabled());
  EXPECT_FALSE(w.Artist[0]->isEnabled());
  EXPECT_TRUE(w.SSTab1->isTabEnabled(0));
  for (int tab = 1; tab <= 4; ++tab) EXPECT_FALSE(w.SSTab1->isTabEnabled(tab)) << tab;
  EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "");
  EXPECT_TRUE(w.Toolbar1Buttons[1]->isVisible());
  for (int b = 2; b <= 6; ++b) EXPECT_FALSE(w.Toolbar1Buttons[b]->isVisible()) << b;
  EXPECT_FALSE(w.RecordRow);

  // Back in a section with records the editor is open again.
  w.ItemClickProcess(6);
  EXPECT_TRUE(w.Video_Name_Text->isEnabled());
  EXPECT_EQ(tvn::NewMain_Form::BackColourOf(w.Video_Name_Text), tvn::NewMain_Form::kEditableColour);
  for (int b : {1, 3, 4, 5, 6}) EXPECT_TRUE(w.Toolbar1Buttons[b]->isVisible()) << b;
  EXPECT_FALSE(w.Toolbar1Buttons[2]->isVisible());
}

TEST_F(CatalogueTest, EmptyCollectionOpensEverySectionWithoutFailing) {
  auto& w = Window();
  for (int s = 1; s <= 9; ++s) {
    w.ItemClickProcess(tvn::Byte(s));
    EXPECT_EQ(w.List_Combo->count(), 0) << s;
    EXPECT_EQ(Face('A'), 2) << s;
  }
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(CatalogueTest, NoOpenCollectionGivesAMessageNotACrash) {
  auto& w = Window();
  tvn::App().CollectionDB->Close();
  w.ItemClickProcess(2);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_NE(vb::PromptScript::Records()[0].text.find("91"), std::string::npos);
}

TEST_F(CatalogueTest, LookupCombosOfferTheEntriesFlaggedForTheSection) {
  auto db = tvn::App().CollectionDB;
  auto add = [&db](const char* table, const char* field, const char* name, const char* flag) {
    auto rs = db->OpenRecordset(table);
    rs->AddNew();
    rs->SetField(field, name);
    rs->SetField(flag, true);
    rs->Update();
    rs->Close();
  };
  add("artists", "artist_name", "Disc Artist", "cd");
  add("artists", "artist_name", "Film Star", "DVD");
  add("category", "category", "Jazz", "cd");
  add("labelstudio", "LabelStudio_Name", "Publisher", "scd");
  auto& w = WindowOn(7);  // MiniDiscs use the CD flag
  EXPECT_EQ(Items(w.Artist[2]), (Strings{"Disc Artist"}));
  EXPECT_EQ(Items(w.CD_Category_List), (Strings{"Jazz"}));
  EXPECT_TRUE(Items(w.CD_Record_Company).empty());
  w.ItemClickProcess(4);  // Laser Discs use the DVD flag
  EXPECT_EQ(Items(w.Artist[0]), (Strings{"Film Star"}));
  EXPECT_TRUE(Items(w.CD_Category_List).empty());
  w.ItemClickProcess(9);  // Software leaves the artist boxes as they are
  EXPECT_EQ(Items(w.Artist[0]), (Strings{"Film Star"}));
  EXPECT_EQ(Items(w.CD_Record_Company), (Strings{"Publisher"}));
}

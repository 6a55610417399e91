// Showing a record: the field rules per section, Null values, the title
// grid, the artists and the picture; clearing and locking the editor.
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <fstream>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "platform/runtime/Functions.h"

using cattest::CatalogueTest;
using tvn::NewMain_Form;

namespace {
std::string T(const QWidget* w) { return NewMain_Form::TextOf(w); }
}  // namespace

TEST_F(CatalogueTest, NullDatesAndNumbersShowAsEmptyFields) {
  AddItem(2, "Nulls", {{"date_aquired", vb::Variant::Null()}, {"slot", vb::Variant::Null()},
                       {"GrpNum", vb::Variant::Null()}, {"Player", vb::Variant::Null()},
                       {"category", vb::Variant::Null()}, {"f1", vb::Variant::Null()}});
  AddItem(2, "Values", {{"date_aquired", vb::DateSerial(1999, 12, 31)}, {"slot", vb::Variant(7)},
                        {"GrpNum", vb::Variant(3)}, {"Player", vb::Variant("Slave")},
                        {"serial", vb::Variant("SN-1")}, {"total_time", vb::Variant("45:10")}});
  auto& w = WindowOn(2);
  w.CS_Load_Data("Values");
  EXPECT_EQ(T(w.CS_Date_Text), "12/31/1999");
  EXPECT_EQ(T(w.CD_Slot_Text), "7");
  EXPECT_EQ(T(w.CD_Group_Text), "3");
  EXPECT_EQ(T(w.PlayerCombo), "Slave");
  EXPECT_EQ(T(w.CD_Serial_Text), "SN-1");
  EXPECT_EQ(T(w.CS_TTime_Text), "45:10");

  // The next record's Nulls leave nothing of the one before.
  w.CS_Load_Data("Nulls");
  EXPECT_EQ(T(w.CS_Name_Text), "Nulls");
  EXPECT_EQ(T(w.CS_Date_Text), "");
  EXPECT_EQ(T(w.CD_Slot_Text), "");
  EXPECT_EQ(T(w.CD_Group_Text), "");
  EXPECT_EQ(T(w.PlayerCombo), "");
  EXPECT_EQ(T(w.CD_Serial_Text), "");
  EXPECT_EQ(T(w.CD_Category_List), "");
  EXPECT_EQ(T(w.fText[0]), "");
  EXPECT_EQ(T(w.List_Combo), "Nulls");
}

TEST_F(CatalogueTest, VideoRecordShowsYearRatingsAndItsSectionsFields) {
  AddItem(3, "Alien", {{"RYear", vb::DateSerial(1979, 1, 1)}, {"SRatio", vb::Variant("16:9")},
                       {"PRatio", vb::Variant("2.35:1")}, {"sides", vb::Variant(2.0)},
                       {"rating", vb::Variant("R")}, {"QRating", vb::Variant("5-Star")},
                       {"Tape_Speed", vb::Variant("SP")}, {"labelstudio", vb::Variant("Studio")},
                       {"notes", vb::Variant("In space")}, {"f10", vb::Variant("ten")}});
  AddItem(6, "Brazil", {{"RYear", vb::Variant::Null()}, {"Tape_Speed", vb::Variant("EP")},
                        {"TapeIndex", vb::Variant("4")}, {"format_type", vb::Variant("VHS")},
                        {"SRatio", vb::Variant("4:3")}});
  auto& w = WindowOn(3);
  EXPECT_EQ(T(w.Video_Name_Text), "Alien");
  EXPECT_EQ(T(w.Video_RYear_Text), "1979");
  EXPECT_EQ(T(w.Video_SRatio_Text), "16:9");
  EXPECT_EQ(T(w.Video_PRatio_Text), "2.35:1");
  EXPECT_EQ(T(w.Video_Sides_Combo), "2");
  EXPECT_EQ(T(w.Video_Rating_Combo), "R");
  EXPECT_EQ(T(w.QRating), "5-Star");
  EXPECT_EQ(T(w.Speed_List), "");  // not a DVD field
  EXPECT_EQ(T(w.CD_Record_Company), "Studio");
  EXPECT_EQ(T(w.CD_Notes_Text), "In space");
  EXPECT_EQ(T(w.fText[9]), "ten");

  w.ItemClickProcess(6);
  EXPECT_EQ(T(w.Video_Name_Text), "Brazil");
  EXPECT_EQ(T(w.Video_RYear_Text), "");
  EXPECT_EQ(T(w.Speed_List), "EP");
  EXPECT_EQ(T(w.TapeIndex), "4");
  EXPECT_EQ(T(w.VT_Format_List_Text), "VHS");
  // The disc fields are not touched in the tape section.
  EXPECT_EQ(T(w.Video_SRatio_Text), "16:9");
}

TEST_F(CatalogueTest, MiniDiscShowsNeitherFormatNorChangerFields) {
  AddItem(7, "Mini", {{"format_type", vb::Variant("Cassette")}, {"slot", vb::Variant(4)},
                      {"cat_number", vb::Variant("MD-1")}, {"filelocation", vb::Variant("/x.mp3")}});
  auto& w = WindowOn(7);
  EXPECT_EQ(T(w.CS_Name_Text), "Mini");
  EXPECT_EQ(T(w.CS_CatNum_Text), "MD-1");
  EXPECT_EQ(T(w.CS_Format_List_Text), "");
  EXPECT_EQ(T(w.CD_Slot_Text), "");
  EXPECT_EQ(T(w.FileLocationText), "");
}

TEST_F(CatalogueTest, ClearingTheEditorResetsTabsGridAndRecord) {
  AddItem(1, "Tape", {{"title1", vb::Variant("Side A")}});
  auto& w = WindowOn(1);
  ASSERT_TRUE(w.RecordRow);
  EXPECT_TRUE(w.SSTab1->isTabEnabled(4));
  w.SSTab1->setCurrentIndex(2);
  w.ClearRecordForm();
  w.ClearRecordForm();
  EXPECT_EQ(w.SSTab1->currentIndex(), 0);
  EXPECT_FALSE(w.SSTab1->isTabEnabled(4));
  EXPECT_FALSE(w.RecordRow);
  EXPECT_EQ(w.TGrid->Rows(), 41);
  EXPECT_EQ(w.TGrid->TextMatrix(0, 1).toStdString(), "Selection Titles");
  EXPECT_EQ(w.TGrid->TextMatrix(1, 1).toStdString(), "");
  EXPECT_EQ(T(w.CS_Name_Text), "");
}

TEST_F(CatalogueTest, LockingTheEditorGreysFieldsButNotTheUserFields) {
  AddItem(1, "Tape");
  auto& w = WindowOn(1);
  w.SetEditFieldsEnabled(NewMain_Form::kLockedColour, false);
  EXPECT_EQ(NewMain_Form::BackColourOf(w.CS_Name_Text), NewMain_Form::kLockedColour);
  EXPECT_EQ(NewMain_Form::BackColourOf(w.Artist[3]), NewMain_Form::kLockedColour);
  EXPECT_FALSE(w.CS_Date_Text->isEnabled());
  EXPECT_TRUE(w.fText[0]->isEnabledTo(w.fText[0]->parentWidget()));
  EXPECT_NE(NewMain_Form::BackColourOf(w.fText[0]), NewMain_Form::kLockedColour);
  EXPECT_TRUE(w.SSTab1->isTabEnabled(0));
  EXPECT_FALSE(w.SSTab1->isTabEnabled(1));
  w.SetEditFieldsEnabled(NewMain_Form::kEditableColour, true);
  EXPECT_TRUE(w.CS_Date_Text->isEnabled());
  EXPECT_TRUE(w.SSTab1->isTabEnabled(4));
}

TEST_F(CatalogueTest, TitlesAndArtistsAreShownAndCollectedClosedUp) {
  AddItem(2, "Album", {{"artist1", vb::Variant("First")}, {"artist4", vb::Variant("Fourth")},
                       {"title1", vb::Variant("One")}, {"title2", vb::Variant("Two")},
                       {"title40", vb::Variant("Forty")}});
  auto& w = WindowOn(2);
  EXPECT_EQ(T(w.Artist[0]), "First");
  EXPECT_EQ(T(w.Artist[1]), "");
  EXPECT_EQ(T(w.Artist[3]), "Fourth");
  EXPECT_EQ(w.TGrid->TextMatrix(2, 1).toStdString(), "Two");
  EXPECT_EQ(w.TGrid->TextMatrix(40, 1).toStdString(), "Forty");
  EXPECT_EQ(w.TGrid->Row(), 0);
  EXPECT_FALSE(w.AddButton->isEnabled());  // all forty rows are taken

  // Blank rows and boxes close up; blanks around texts go; long texts are cut.
  w.TGrid->SetTextMatrix(2, 1, "   ");
  w.TGrid->SetTextMatrix(5, 1, "  Five  ");
  w.TGrid->SetTextMatrix(40, 1, "");
  w.TGrid->SetTextMatrix(6, 1, QString(70, 'x'));
  w.Artist[0]->setEditText("");
  w.Artist[2]->setEditText(" " + QString(55, 'a') + " ");
  w.CollectArtistsAndTitles(40);
  EXPECT_EQ(w.TGrid->Row(), 1);
  w.RecordRow->Edit();
  w.WriteArtistsAndTitles();
  w.RecordRow->Update();

  auto rs = tvn::App().CollectionDB->OpenRecordset("select * from mediadata where name = 'Album'");
  // The artist box holds what its column does, the leading blank among them.
  EXPECT_EQ(vb::NzStr(rs->GetField("artist1")), std::string(49, 'a'));
  EXPECT_EQ(vb::NzStr(rs->GetField("artist2")), "Fourth");
  EXPECT_EQ(vb::NzStr(rs->GetField("artist3")), "");
  EXPECT_EQ(vb::NzStr(rs->GetField("title1")), "One");
  EXPECT_EQ(vb::NzStr(rs->GetField("title2")), "Five");
  EXPECT_EQ(vb::NzStr(rs->GetField("title3")), std::string(60, 'x'));
  EXPECT_EQ(vb::NzStr(rs->GetField("title4")), "");
  EXPECT_EQ(vb::NzStr(rs->GetField("title40")), "");
}

TEST_F(CatalogueTest, PictureThatCannotBeShownKeepsItsReferenceUntilDeleted) {
  std::filesystem::create_directories(Dir() / "pics");
  {
    // A 1x1 picture in the XPM text format, which every Qt build reads.
    std::ofstream xpm(Dir() / "pics" / "dot.xpm");
    xpm << "/* XPM */\nstatic char *d[] = {\"1 1 1 1\",\"a c #FF0000\",\"a\"};\n";
    std::ofstream bad(Dir() / "pics" / "broken.jpg");
    bad << "not a picture at all";
  }
  AddItem(1, "Gone", {{"picture", vb::Variant("pics\\missing.jpg")}});
  AddItem(1, "Here", {{"picture", vb::Variant("pics\\dot.xpm")}});
  AddItem(1, "Junk", {{"picture", vb::Variant("pics\\broken.jpg")}});
  auto stored = [](const std::string& name) {
    auto rs = tvn::App().CollectionDB->OpenRecordset("select picture from mediadata where name = '" + name + "'");
    return vb::NzStr(rs->GetField("picture"));
  };
  auto& w = WindowOn(1);
  ASSERT_EQ(T(w.CS_Name_Text), "Gone");
  EXPECT_TRUE(w.Picture_Box->pixmap().isNull());
  EXPECT_EQ(stored("Gone"), "pics\\missing.jpg");

  w.CS_Load_Data("Here");
  EXPECT_FALSE(w.Picture_Box->pixmap().isNull());
  EXPECT_EQ(stored("Here"), "pics\\dot.xpm");

  // A file that does not decode: nothing shown, not even the last picture.
  w.CS_Load_Data("Junk");
  EXPECT_TRUE(w.Picture_Box->pixmap().isNull());
  EXPECT_EQ(stored("Junk"), "pics\\broken.jpg");

  // Shown again and again, the reference stays; the delete command clears it.
  w.CS_Load_Data("Gone");
  w.CS_Load_Data("Gone");
  EXPECT_EQ(stored("Gone"), "pics\\missing.jpg");
  w.Delete_Picture_Click();
  EXPECT_EQ(stored("Gone"), "");
  EXPECT_EQ(stored("Junk"), "pics\\broken.jpg");
}

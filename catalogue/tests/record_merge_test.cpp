// Filing a record another program changed since it was shown: every field
// the user did not change keeps what the other program stored, down to one
// artist box and one title row; a row that is no longer the record shown
// never takes the typing; a record moved to another section stays there.
// The other program is the sqlite3 tool; the file is read back with it.
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "core/tests/ShownBoxes.h"
#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/tests/OtherProgram.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::testing::BackToUser;
using vb::PromptScript;

namespace {

using tvn::testing::Boxes;
using tvn::testing::BoxSays;
using tvn::testing::Reveal;

std::string Text(QWidget* w) { return tvn::RecordWindow::TextOf(w); }

std::string Tool(const std::string& sql) {
  BackToUser();
  const tvn::testing::ToolRun run = tvn::testing::RunTool(tvn::App().CollectionDB->Name(), sql + "\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.out;
}

// The columns the media window files, as the tool lists them.
std::string FiledColumnList() {
  std::string list =
      "name, section, sectionnumber, labelstudio, category, notes, cat_number, total_time, format_type, slot, "
      "grpnum, player, serial, date_aquired, filelocation, sratio, pratio, sides, tape_speed, tapeindex, "
      "format_type2, rating, qrating, ryear, homepage, emailid";
  for (int i = 1; i <= 10; ++i) list += ", f" + std::to_string(i);
  for (int i = 1; i <= 4; ++i) list += ", artist" + std::to_string(i);
  for (int i = 1; i <= 40; ++i) list += ", title" + std::to_string(i);
  return list;
}

class RecordMergeTest : public CatalogueTest {
 protected:
  // "Blue Train" among two others of the section, with four artists and
  // ten titles, shown in the window.
  tvn::NewMain_Form& ShowBlueTrain(int section = 2) {
    cattest::Fields fields = {{"notes", vb::Variant("Shown notes")}, {"serial", vb::Variant("S-1")}};
    for (int i = 1; i <= 4; ++i) fields["artist" + std::to_string(i)] = vb::Variant("A" + std::to_string(i));
    for (int i = 1; i <= 10; ++i) fields["title" + std::to_string(i)] = vb::Variant("T" + std::to_string(i));
    AddItem(section, "Abbey Road");
    AddItem(section, "Blue Train", fields);
    AddItem(section, "Kind of Blue");
    auto& w = WindowOn(section);
    w.FirstActivate = false;
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.CS_Load_Data("Blue Train");
    BackToUser();
    rowid_ = Tool("select rowid from mediadata where name = 'Blue Train' and sectionnumber = " +
                  std::to_string(section) + ";");
    rowid_.pop_back();
    return w;
  }
  // File, the next box answered with `answer`.
  void File(tvn::NewMain_Form& w, int answer) {
    PromptScript::Clear();
    PromptScript::Answer(answer);
    w.Toolbar1_ButtonClick(3);
    BackToUser();
  }
  std::string Row(const std::string& columns) {
    return Tool("select " + columns + " from mediadata where rowid = " + rowid_ + ";");
  }
  void KeyGivenToAnotherRecord(int answer);
  void AddAfterAnotherProgram(const std::string& change);
  void MovedToAnotherSection(int answer);
  std::string rowid_;
};

TEST_F(RecordMergeTest, ATitleRowAndAnArtistBoxTheUserLeftKeepWhatAnotherProgramStored) {
  auto& w = ShowBlueTrain();
  Tool("update mediadata set artist4 = 'Tool A4', title7 = 'Tool T7', title9 = '' where name = 'Blue Train';");
  w.Artist[1]->setEditText("User A2");
  w.TGrid->SetTextMatrix(3, 1, "User T3");
  File(w, vb::vbYes);
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_TRUE(BoxSays("\"Blue Train\" was changed")) << Boxes();
  // The gap the tool left at title 9 stays where it is.
  EXPECT_EQ(Row("artist1, artist2, artist3, artist4"), "A1|User A2|A3|Tool A4\n");
  EXPECT_EQ(Row("title1, title2, title3, title4, title5, title6, title7, title8, title9, title10, title11"),
            "T1|T2|User T3|T4|T5|T6|Tool T7|T8||T10|\n");
  Reveal(w.TGrid);
  EXPECT_ON_SCREEN(w.TGrid);
  EXPECT_EQ(w.TGrid->TextMatrix(7, 1).toStdString(), "Tool T7");
  EXPECT_EQ(w.TGrid->TextMatrix(3, 1).toStdString(), "User T3");
  Reveal(w.Artist[3]);
  EXPECT_ON_SCREEN(w.Artist[3]);
  EXPECT_EQ(Text(w.Artist[3]), "Tool A4");
}

TEST_F(RecordMergeTest, ABoxTheUserEmptiedClosesUpTheListAroundWhatAnotherProgramStored) {
  auto& w = ShowBlueTrain();
  Tool("update mediadata set artist4 = 'Tool A4', title10 = 'Tool T10' where name = 'Blue Train';");
  w.Artist[1]->setEditText("");
  // Title 2 deleted: the rows below move up by one.
  w.TGrid->SetRow(2);
  w.DeleteButton_Click();
  File(w, vb::vbYes);
  EXPECT_EQ(Row("artist1, artist2, artist3, artist4"), "A1|A3|Tool A4|\n");
  // Rows 2 to 40 were all moved by the user, the tool's title 10 with them.
  EXPECT_EQ(Row("title1, title2, title8, title9, title10"), "T1|T3|T9|T10|\n");
}

TEST_F(RecordMergeTest, EveryColumnAnotherProgramChangedKeepsItsValueWhenTheUserFilesOneField) {
  // Each section files its own columns; the one typed is My Field 1.
  for (int section : {2, 3, 5, 6, 8, 9}) {
    SCOPED_TRACE("section " + std::to_string(section));
    auto& w = ShowBlueTrain(section);
    std::string sql = "update mediadata set name = 'Blue Train Renamed', labelstudio = 'Tool Label', "
                      "category = 'Tool Category', notes = 'Tool notes', cat_number = 'TC-1', total_time = '9:99', "
                      "format_type = 'Tool format', slot = 77, grpnum = 7, player = 'TP', serial = 'TS', "
                      "date_aquired = '2001-02-03 00:00:00', filelocation = 'tool.mp3', sratio = '2.35', "
                      "pratio = '1.85', sides = 2, tape_speed = 'SP', tapeindex = 'TI', format_type2 = 'Tool sound', "
                      "rating = 'PG', qrating = 'Q9', ryear = '1977-05-25 00:00:00', homepage = 'tool.example', "
                      "emailid = 'tool@example'";
    for (int i = 1; i <= 10; ++i) sql += ", f" + std::to_string(i) + " = 'Tool f" + std::to_string(i) + "'";
    for (int i = 1; i <= 4; ++i) sql += ", artist" + std::to_string(i) + " = 'Tool A" + std::to_string(i) + "'";
    for (int i = 1; i <= 40; ++i) sql += ", title" + std::to_string(i) + " = 'Tool T" + std::to_string(i) + "'";
    Tool(sql + " where rowid = " + rowid_ + ";");
    std::string expected = Row(FiledColumnList());
    expected.replace(expected.find("|Tool f1|"), 9, "|Typed f1|");
    w.fText[0]->setText("Typed f1");
    File(w, vb::vbYes);
    EXPECT_TRUE(BoxSays("was changed")) << Boxes();
    EXPECT_EQ(Row(FiledColumnList()), expected);
    // The artist lists offer the names the record holds, not those it showed.
    EXPECT_EQ(Tool("select group_concat(artist_name, ',') from (select artist_name from artists order by 1);"),
              "Tool A1,Tool A2,Tool A3,Tool A4\n");
    EXPECT_EQ(Tool("select count(*) from mediadata where sectionnumber = " + std::to_string(section) + ";"), "3\n");
  }
}

TEST_F(RecordMergeTest, ARecordAnotherProgramRenamedShowsUnderItsNewNameAfterNo) {
  auto& w = ShowBlueTrain();
  Tool("update mediadata set name = 'Ascension' where name = 'Blue Train';");
  w.CD_Serial_Text->setText("S-2 typed");
  File(w, vb::vbNo);
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_TRUE(BoxSays("\"Blue Train\" was changed")) << Boxes();
  Reveal(w.CS_Name_Text);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Text(w.CS_Name_Text), "Ascension");
  EXPECT_EQ(Text(w.CD_Serial_Text), "S-1");
  EXPECT_EQ(Row("name, serial"), "Ascension|S-1\n");
  EXPECT_FALSE(w.RecordChanged());
}

void RecordMergeTest::KeyGivenToAnotherRecord(int answer) {
  auto& w = ShowBlueTrain();
  Tool("delete from mediadata where rowid = " + rowid_ + "; insert into mediadata (rowid, name, sectionnumber, "
       "section, serial) values (" + rowid_ + ", 'Casablanca', 3, 'DVD', 'D-1');");
  w.CD_Serial_Text->setText("S-2 typed");
  File(w, answer);
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_TRUE(BoxSays("\"Blue Train\" was removed")) << Boxes();
  // The other program's record is as it left it.
  EXPECT_EQ(Row("name, sectionnumber, serial"), "Casablanca|3|D-1\n");
  EXPECT_EQ(Tool("select name, serial from mediadata where sectionnumber = 2 order by name;"),
            answer == vb::vbYes ? "Abbey Road|\nBlue Train|S-2 typed\nKind of Blue|\n" : "Abbey Road|\nKind of Blue|\n");
}

TEST_F(RecordMergeTest, AKeyAnotherProgramGaveToAnotherRecordIsOfferedAsRemovedAndFiledAnew) {
  KeyGivenToAnotherRecord(vb::vbYes);
}

TEST_F(RecordMergeTest, AKeyAnotherProgramGaveToAnotherRecordIsOfferedAsRemovedAndDropped) {
  KeyGivenToAnotherRecord(vb::vbNo);
}

void RecordMergeTest::MovedToAnotherSection(int answer) {
  auto& w = ShowBlueTrain();
  Tool("update mediadata set sectionnumber = 3, section = 'DVD' where name = 'Blue Train';");
  w.CD_Serial_Text->setText("S-2 typed");
  File(w, answer);
  EXPECT_TRUE(BoxSays("\"Blue Train\" was changed")) << Boxes();
  EXPECT_FALSE(BoxSays("removed")) << Boxes();
  EXPECT_EQ(Row("sectionnumber, section, serial"),
            std::string("3|DVD|") + (answer == vb::vbYes ? "S-2 typed" : "S-1") + "\n");
  // The window goes on with a record of its own section.
  Reveal(w.CS_Name_Text);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Text(w.CS_Name_Text), "Kind of Blue");
  EXPECT_EQ(w.List_Combo->findText("Blue Train"), -1);
  EXPECT_FALSE(w.RecordChanged());
}

TEST_F(RecordMergeTest, ARecordAnotherProgramMovedToAnotherSectionStaysThereWithTheTyping) {
  MovedToAnotherSection(vb::vbYes);
}

TEST_F(RecordMergeTest, ARecordAnotherProgramMovedToAnotherSectionIsNotToldAsRemovedAfterNo) {
  MovedToAnotherSection(vb::vbNo);
}

TEST_F(RecordMergeTest, FiledAnewAfterAnotherProgramRemovedItEveryFieldOnScreenIsFiled) {
  auto& w = ShowBlueTrain();
  Tool("update mediadata set labelstudio = 'Blue Note', category = 'Jazz', cat_number = 'BN-1', f3 = 'Third' "
       "where rowid = " + rowid_ + ";");
  w.CS_Load_Data("Blue Train");
  std::string expected = Row(FiledColumnList());
  expected.replace(expected.find("|S-1|"), 5, "|S-2 typed|");
  Tool("delete from mediadata where name = 'Blue Train';");
  w.CD_Serial_Text->setText("S-2 typed");
  File(w, vb::vbYes);
  EXPECT_TRUE(BoxSays("was removed")) << Boxes();
  // The new row holds everything the removed one showed, and the typing.
  EXPECT_EQ(Tool("select " + FiledColumnList() + " from mediadata where name = 'Blue Train';"), expected);
}

TEST_F(RecordMergeTest, APictureChosenThenATypedChangeFilesWithoutAQuestion) {
  std::filesystem::create_directories(Dir() / "pics");
  QImage dot(2, 2, QImage::Format_RGB32);
  dot.fill(Qt::red);
  ASSERT_TRUE(dot.save(QString::fromStdString((Dir() / "pics" / "cover.png").string())));
  auto& w = ShowBlueTrain();
  PromptScript::Clear();
  PromptScript::AnswerText((Dir() / "pics" / "cover.png").string());
  w.Add_Picture_Click();
  ASSERT_EQ(Row("picture"), "pics\\cover.png\n");
  w.CD_Serial_Text->setText("S-2 typed");
  PromptScript::Clear();
  w.Toolbar1_ButtonClick(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Row("picture, serial"), "pics\\cover.png|S-2 typed\n");
}

void RecordMergeTest::AddAfterAnotherProgram(const std::string& change) {
  auto& w = ShowBlueTrain();
  Tool(change);
  w.Toolbar1_ButtonClick(1);
  w.CS_Name_Text->setText("Giant Steps");
  w.CD_Serial_Text->setText("G-1");
  PromptScript::Clear();
  w.Toolbar1_ButtonClick(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select serial from mediadata where name = 'Giant Steps' and sectionnumber = 2;"), "G-1\n");
  Reveal(w.CS_Name_Text);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Text(w.CS_Name_Text), "Giant Steps");
}

TEST_F(RecordMergeTest, AddAfterAnotherProgramChangedTheRecordOnShowFilesTheNewOne) {
  AddAfterAnotherProgram("update mediadata set notes = 'Tool' where name = 'Blue Train';");
}

TEST_F(RecordMergeTest, AddAfterAnotherProgramRemovedTheRecordOnShowFilesTheNewOne) {
  AddAfterAnotherProgram("delete from mediadata where name = 'Blue Train';");
}

}  // namespace

// Filing a game another program changed since it was shown: every field,
// each system-type and feature link and the section the user did not
// change keep what the other program stored; a row that is no longer the
// game shown never takes the typing. The other program is the sqlite3
// tool; the file is read back with it too.
#include <QDir>
#include <QImage>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include "core/tests/ShownBoxes.h"
#include "core/tests/OtherProgram.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using tvn::testing::Boxes;
using tvn::testing::BoxSays;
using tvn::testing::Reveal;

using tvn::testing::BackToUser;
using vb::PromptScript;

// The columns the game window files, as the tool lists them.
const char kFiledColumns[] =
    "name, sectionnumber, hintstips, notes, instructions, date_aquired, date_released, publisher, developer, genre, "
    "bestfeature, worstfeature, homepage, format, rating, players, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10";

class GameMergeTest : public GameWindowTest {
 protected:
  std::string Tool(const std::string& sql) {
    BackToUser();
    const tvn::testing::ToolRun run = tvn::testing::RunTool(Db().Name(), sql + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }
  std::string Row(const std::string& columns) {
    return Tool("select " + columns + " from mediadata where systemnumber = " + std::to_string(bravo_) + ";");
  }
  std::string Links(const char* table, const char* field) {
    return Tool(std::string("select group_concat(") + field + ", ',') from (select " + field + " from " + table +
                " where systemnumber = " + std::to_string(bravo_) + " order by " + field + ");");
  }
  // Bravo between two other games of section 6, linked to the handheld
  // system type and the link feature, shown in the window.
  void ShowBravo() {
    handheld_ = SysType("Handheld");
    console_ = SysType("Console");
    pc_ = SysType("PC");
    link_ = Feature("Link cable");
    rumble_ = Feature("Rumble");
    Game("Alpha", 6);
    bravo_ = Game("Bravo", 6, Add("publisher", {{"labelstudio_name", vb::Variant("Shown Pub")}}, "publisher"));
    Game("Kilo", 6);
    Db().Execute("update mediadata set notes = 'Shown notes', players = '2' where systemnumber = " +
                 std::to_string(bravo_));
    Add("systypemedia", {{"systemnumber", vb::Variant(bravo_)}, {"systypeid", vb::Variant(handheld_)}});
    Add("supportsmedia", {{"systemnumber", vb::Variant(bravo_)}, {"supports", vb::Variant(link_)}});
    Showing(6);
    Press(6);
    BackToUser();
    ASSERT_EQ(Name(), "Bravo");
  }
  void File(int answer) {
    PromptScript::Clear();
    PromptScript::Answer(answer);
    Press(3);
    BackToUser();
  }
  long SysType(const std::string& name) { return Add("systype", {{"systype", vb::Variant(name)}}, "systypeid"); }
  long Feature(const std::string& name) { return Add("supports", {{"Name", vb::Variant(name)}}, "supports"); }
  void MovedWhileATickChanged(int answer);
  void KeyGivenToAnotherGame(int answer);
  void AddAfterAnotherProgram(const std::string& change);

  long bravo_ = 0, handheld_ = 0, console_ = 0, pc_ = 0, link_ = 0, rumble_ = 0;
};

// The tool moves Bravo to section 2 and links it to the rumble feature,
// while the user ticks the console system type.
void GameMergeTest::MovedWhileATickChanged(int answer) {
  ShowBravo();
  Tool("update mediadata set sectionnumber = 2 where name = 'Bravo'; insert into supportsmedia (systemnumber, "
       "supports) values (" + std::to_string(bravo_) + ", " + std::to_string(rumble_) + ");");
  Reveal(W().tGrid);
  ClickRow(W().tGrid, "Console");
  File(answer);
  EXPECT_TRUE(BoxSays("\"Bravo\" was changed")) << Boxes();
  EXPECT_FALSE(BoxSays("removed")) << Boxes();
  EXPECT_EQ(Row("sectionnumber"), "2\n");
  const std::string types = std::to_string(handheld_) + (answer == vb::vbYes ? "," + std::to_string(console_) : "");
  EXPECT_EQ(Links("systypemedia", "systypeid"), types + "\n");
  EXPECT_EQ(Links("supportsmedia", "supports"), std::to_string(link_) + "," + std::to_string(rumble_) + "\n");
  // The window goes on with a game of its own section.
  Reveal(W().txtName);
  EXPECT_ON_SCREEN(W().txtName);
  EXPECT_EQ(Name(), "Kilo");
  EXPECT_EQ(W().List_Combo->findText("Bravo"), -1);
  EXPECT_FALSE(W().RecordChanged());
}

TEST_F(GameMergeTest, AGameAnotherProgramMovedKeepsItsSectionAndLinksBesideTheTickTheUserChanged) {
  MovedWhileATickChanged(vb::vbYes);
}

TEST_F(GameMergeTest, AGameAnotherProgramMovedIsNotToldAsRemovedAfterNo) { MovedWhileATickChanged(vb::vbNo); }

TEST_F(GameMergeTest, ATickTheUserTookOffUnlinksOnlyThatEntry) {
  ShowBravo();
  Tool("insert into systypemedia (systemnumber, systypeid) values (" + std::to_string(bravo_) + ", " +
       std::to_string(pc_) + ");");
  Reveal(W().tGrid);
  ClickRow(W().tGrid, "Handheld");
  // Only links changed: the row itself is as shown, so nothing is asked.
  File(vb::vbYes);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Links("systypemedia", "systypeid"), std::to_string(pc_) + "\n");
  EXPECT_EQ(Links("supportsmedia", "supports"), std::to_string(link_) + "\n");
  Reveal(W().tGrid);
  EXPECT_ON_SCREEN(W().tGrid);
  EXPECT_EQ(Ticked(W().tGrid), Strings{"PC"});
}

TEST_F(GameMergeTest, EveryColumnAnotherProgramChangedKeepsItsValueWhenTheUserFilesOneField) {
  ShowBravo();
  // The entry the publisher box shows is renamed, and the game names another.
  const long toolPublisher = Add("publisher", {{"labelstudio_name", vb::Variant("Tool Pub")}}, "publisher");
  Tool("update publisher set labelstudio_name = 'Renamed Pub' where labelstudio_name = 'Shown Pub';");
  std::string sql = "update mediadata set name = 'Bravo Two', hintstips = 'Tool hints', notes = 'Tool notes', "
                    "instructions = 'Tool instructions', date_aquired = '2001-02-03 00:00:00', "
                    "date_released = '1999-09-09 00:00:00', publisher = " + std::to_string(toolPublisher) +
                    ", developer = 4242, genre = 4343, bestfeature = 'Tool best', worstfeature = 'Tool worst', "
                    "homepage = 'tool.example', format = 'Tool format', rating = 'Tool rating', players = '9'";
  for (int i = 1; i <= 10; ++i) sql += ", f" + std::to_string(i) + " = 'Tool f" + std::to_string(i) + "'";
  Tool(sql + " where systemnumber = " + std::to_string(bravo_) + ";");
  std::string expected = Row(kFiledColumns);
  expected.replace(expected.find("|Tool f1|"), 9, "|Typed f1|");
  const std::string publishers = Tool("select count(*) from publisher;");
  Reveal(W().fText[0]);
  Type(W().fText[0], "Typed f1");
  File(vb::vbYes);
  EXPECT_TRUE(BoxSays("\"Bravo\" was changed")) << Boxes();
  EXPECT_EQ(Row(kFiledColumns), expected);
  // The name the publisher box showed is not listed anew.
  EXPECT_EQ(Tool("select count(*) from publisher;"), publishers);
  EXPECT_EQ(Tool("select count(*) from publisher where labelstudio_name = 'Shown Pub';"), "0\n");
  Reveal(W().txtName);
  EXPECT_ON_SCREEN(W().txtName);
  EXPECT_EQ(Name(), "Bravo Two");
  EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), "Tool Pub");
}

TEST_F(GameMergeTest, AGameAnotherProgramRenamedShowsUnderItsNewNameAfterNo) {
  ShowBravo();
  Tool("update mediadata set name = 'Bravado' where name = 'Bravo';");
  Type(W().txtPlayers, "4");
  File(vb::vbNo);
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_TRUE(BoxSays("\"Bravo\" was changed")) << Boxes();
  Reveal(W().txtName);
  EXPECT_ON_SCREEN(W().txtName);
  EXPECT_EQ(Name(), "Bravado");
  EXPECT_EQ(W().txtPlayers->text().toStdString(), "2");
  EXPECT_EQ(Row("name, players"), "Bravado|2\n");
}

void GameMergeTest::KeyGivenToAnotherGame(int answer) {
  ShowBravo();
  const std::string key = std::to_string(bravo_);
  Tool("delete from mediadata where systemnumber = " + key + "; insert into mediadata (systemnumber, name, "
       "sectionnumber, players) values (" + key + ", 'Zelda', 1, '1');");
  Type(W().txtPlayers, "4");
  File(answer);
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_TRUE(BoxSays("\"Bravo\" was removed")) << Boxes();
  EXPECT_EQ(Row("name, sectionnumber, players"), "Zelda|1|1\n");
  EXPECT_EQ(Tool("select name, players from mediadata where sectionnumber = 6 order by name;"),
            answer == vb::vbYes ? "Alpha|\nBravo|4\nKilo|\n" : "Alpha|\nKilo|\n");
}

TEST_F(GameMergeTest, AKeyAnotherProgramGaveToAnotherGameIsOfferedAsRemovedAndFiledAnew) {
  KeyGivenToAnotherGame(vb::vbYes);
}

TEST_F(GameMergeTest, AKeyAnotherProgramGaveToAnotherGameIsOfferedAsRemovedAndDropped) {
  KeyGivenToAnotherGame(vb::vbNo);
}

TEST_F(GameMergeTest, FiledAnewAfterAnotherProgramRemovedItEveryFieldAndTickOnScreenIsFiled) {
  ShowBravo();
  const std::string shown = Row(kFiledColumns);
  Tool("delete from mediadata where name = 'Bravo';");
  Type(W().txtPlayers, "4");
  File(vb::vbYes);
  EXPECT_TRUE(BoxSays("was removed")) << Boxes();
  bravo_ = Number("Bravo");
  std::string expected = shown;
  expected.replace(expected.find("|2|"), 3, "|4|");
  EXPECT_EQ(Row(kFiledColumns), expected);
  EXPECT_EQ(Links("systypemedia", "systypeid"), std::to_string(handheld_) + "\n");
  EXPECT_EQ(Links("supportsmedia", "supports"), std::to_string(link_) + "\n");
}

TEST_F(GameMergeTest, APictureChosenThenATypedChangeFilesWithoutAQuestion) {
  QDir(QString::fromStdString(Home())).mkpath("pics");
  QImage dot(2, 2, QImage::Format_RGB32);
  dot.fill(Qt::red);
  const std::string picture = Home() + "/pics/cover.png";
  ASSERT_TRUE(dot.save(QString::fromStdString(picture)));
  ShowBravo();
  PromptScript::Clear();
  PromptScript::AnswerText(picture);
  W().Add_Picture_Click();
  ASSERT_EQ(Row("picture"), "pics\\cover.png\n");
  Type(W().txtPlayers, "4");
  PromptScript::Clear();
  Press(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Row("picture, players"), "pics\\cover.png|4\n");
}

void GameMergeTest::AddAfterAnotherProgram(const std::string& change) {
  ShowBravo();
  Tool(change);
  Press(1);
  Type(W().txtName, "Golf");
  Type(W().txtPlayers, "3");
  PromptScript::Clear();
  Press(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select players from mediadata where name = 'Golf' and sectionnumber = 6;"), "3\n");
  Reveal(W().txtName);
  EXPECT_ON_SCREEN(W().txtName);
  EXPECT_EQ(Name(), "Golf");
}

TEST_F(GameMergeTest, AddAfterAnotherProgramChangedTheGameOnShowFilesTheNewOne) {
  AddAfterAnotherProgram("update mediadata set notes = 'Tool' where name = 'Bravo';");
}

TEST_F(GameMergeTest, AddAfterAnotherProgramRemovedTheGameOnShowFilesTheNewOne) {
  AddAfterAnotherProgram("delete from mediadata where name = 'Bravo';");
}

}  // namespace
}  // namespace pl::testing

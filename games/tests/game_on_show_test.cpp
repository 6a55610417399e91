// Another program changes or deletes the game the game window shows: File
// asks before it writes over a change it did not make, a game that is gone
// is offered to be filed anew or dropped, navigation steps over games that
// are gone, and a field the user left alone keeps what the file holds. The
// other program is the sqlite3 tool; the file is read back with it too.
#include <QImage>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <filesystem>

#include "core/tests/ShownBoxes.h"
#include "core/tests/OtherProgram.h"
#include "games/PLQDForm.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using tvn::testing::Boxes;
using tvn::testing::Reveal;

using tvn::testing::BackToUser;
using vb::PromptScript;

bool AnyEngineError() {
  for (const std::string& t : PromptScript::Texts())
    if (t.find("Error") != std::string::npos || t.find("3167") != std::string::npos ||
        t.find("3021") != std::string::npos)
      return true;
  return false;
}

class GameOnShowTest : public GameWindowTest {
 protected:
  // What the tool prints for a query on the file.
  std::string Tool(const std::string& sql) {
    BackToUser();  // the window waits for the user while the tool works
    const tvn::testing::ToolRun run = tvn::testing::RunTool(Db().Name(), sql + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }
  void Letter(char letter) { W().LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger(); }

  // Bravo shown, its players typed over, and the tool's new notes in the
  // file meanwhile; File answered with `answer`.
  void FileAnswering(int answer, const char* stored, const char* notesShown, const char* playersShown) {
    Game("Alpha", 6);
    const long bravo = Game("Bravo", 6);
    Game("Kilo", 6);
    Db().Execute("update mediadata set notes = 'Shown notes', players = '2' where systemnumber = " +
                 std::to_string(bravo));
    Showing(6);
    Press(6);
    BackToUser();
    ASSERT_EQ(Name(), "Bravo");
    Tool("update mediadata set notes = 'Notes of the tool' where name = 'Bravo';");
    Type(W().txtPlayers, "4");
    PromptScript::Clear();
    PromptScript::Answer(answer);
    Press(3);
    BackToUser();
    ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
    const std::string box = PromptScript::Texts().front();
    EXPECT_NE(box.find("\"Bravo\" was changed"), std::string::npos) << box;
    EXPECT_NE(box.find(Db().Name()), std::string::npos) << box;
    EXPECT_NE(box.find("another program"), std::string::npos) << box;
    EXPECT_EQ(Tool("select notes, players from mediadata where name = 'Bravo';"), std::string(stored) + "\n");
    EXPECT_EQ(Tool("select count(*) from mediadata where sectionnumber = 6;"), "3\n");
    Reveal(W().txtNotes);
    EXPECT_ON_SCREEN(W().txtNotes);
    EXPECT_EQ(W().txtNotes->toPlainText().toStdString(), notesShown);
    Reveal(W().txtPlayers);
    EXPECT_ON_SCREEN(W().txtPlayers);
    EXPECT_ON_SCREEN(W().txtName);
    EXPECT_EQ(Name(), "Bravo");
    EXPECT_EQ(W().txtPlayers->text().toStdString(), playersShown);
    EXPECT_EQ(W().RecordChanged(), answer == vb::vbCancel);
  }

  void FileDeleted(int answer) {
    for (const char* n : {"Alpha", "Bravo", "Kilo"}) Game(n, 6);
    Showing(6);
    Press(6);
    BackToUser();
    ASSERT_EQ(Name(), "Bravo");
    Type(W().txtPlayers, "4");
    Tool("delete from mediadata where name = 'Bravo';");
    PromptScript::Clear();
    PromptScript::Answer(answer);
    Press(3);
    BackToUser();
    EXPECT_FALSE(AnyEngineError()) << Boxes();
    ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
    const std::string box = PromptScript::Texts().front();
    EXPECT_NE(box.find("\"Bravo\" was removed from the collection"), std::string::npos) << box;
    EXPECT_NE(box.find(Db().Name()), std::string::npos) << box;
    EXPECT_NE(box.find("new record"), std::string::npos) << box;
    Reveal(W().txtName);
    EXPECT_ON_SCREEN(W().txtName);
    if (answer == vb::vbYes) {
      EXPECT_EQ(Tool("select name, players from mediadata where sectionnumber = 6 order by name;"),
                "Alpha|\nBravo|4\nKilo|\n");
      EXPECT_EQ(Name(), "Bravo");
      EXPECT_EQ(W().txtPlayers->text().toStdString(), "4");
    } else {
      EXPECT_EQ(Tool("select name from mediadata where sectionnumber = 6 order by name;"), "Alpha\nKilo\n");
      EXPECT_EQ(Name(), "Kilo");
    }
    EXPECT_FALSE(W().RecordChanged());
    PromptScript::Clear();
    Type(W().txtPlayers, "8");
    Press(3);
    EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
    EXPECT_EQ(Tool("select players from mediadata where name = " + dao::SqlQuote(Name()) + ";"), "8\n");
  }
};

TEST_F(GameOnShowTest, AnotherProgramsChangeKeptBesideTheTypedOneWhenTheUserFilesTheirs) {
  FileAnswering(vb::vbYes, "Notes of the tool|4", "Notes of the tool", "4");
}

TEST_F(GameOnShowTest, AnotherProgramsChangeTakenDropsTheTyping) {
  FileAnswering(vb::vbNo, "Notes of the tool|2", "Notes of the tool", "2");
}

TEST_F(GameOnShowTest, AnotherProgramsChangeCancelledGoesBackToTheTypingAndWritesNothing) {
  FileAnswering(vb::vbCancel, "Notes of the tool|2", "Shown notes", "4");
}

TEST_F(GameOnShowTest, FileOnAGameAnotherProgramDeletedFilesItAnewWhenAsked) { FileDeleted(vb::vbYes); }

TEST_F(GameOnShowTest, FileOnAGameAnotherProgramDeletedDropsItAndMovesOn) { FileDeleted(vb::vbNo); }

TEST_F(GameOnShowTest, AFieldLeftAloneKeepsWhatTheFileHoldsWhenFiled) {
  Game("Alpha", 6);
  Game("Bravo", 6);
  Tool("update mediadata set date_aquired = 'not a date', date_released = 'no date either' where name = 'Bravo';");
  Showing(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  Reveal(W().DateAquired);
  EXPECT_ON_SCREEN(W().DateAquired);
  EXPECT_EQ(W().DateAquired->text().toStdString(), "");
  Press(3);
  EXPECT_EQ(Tool("select date_aquired, date_released from mediadata where name = 'Bravo';"),
            "not a date|no date either\n");
  Type(W().txtPlayers, "3");
  Press(3);
  EXPECT_EQ(Tool("select date_aquired, date_released, players from mediadata where name = 'Bravo';"),
            "not a date|no date either|3\n");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
}

TEST_F(GameOnShowTest, NavigationStepsOverGamesAnotherProgramDeleted) {
  for (const char* n : {"Alpha", "Bravo", "Brick", "Golf", "Kilo", "Zulu"}) Game(n, 6);
  Showing(6);
  ASSERT_EQ(Name(), "Alpha");
  Press(6);
  Press(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Golf");
  Tool("delete from mediadata where name in ('Bravo', 'Brick', 'Kilo');");
  Press(5);
  EXPECT_EQ(Name(), "Alpha");
  Press(6);
  EXPECT_EQ(Name(), "Golf");
  Press(6);
  EXPECT_EQ(Name(), "Zulu");
  Press(6);
  EXPECT_EQ(Name(), "Alpha");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  Reveal(W().txtName);
  EXPECT_ON_SCREEN(W().txtName);
  EXPECT_EQ(Face('B'), 2);
  EXPECT_EQ(Face('K'), 2);

  // A letter whose only game is gone: told, and the next game shown.
  Tool("delete from mediadata where name = 'Golf';");
  PromptScript::Clear();
  Letter('G');
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Golf\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Name(), "Zulu");
  EXPECT_EQ(Face('G'), 2);
  EXPECT_EQ(Face('Z'), 1);
  PromptScript::Clear();
  Type(W().txtPlayers, "1");
  Press(3);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select name, players from mediadata where sectionnumber = 6 order by name;"), "Alpha|\nZulu|1\n");
}

}  // namespace
}  // namespace pl::testing

namespace pl::testing {
namespace {

TEST_F(GameOnShowTest, DeletePictureOnAGameAnotherProgramRemovedTellsItAndMovesOn) {
  for (const char* n : {"Alpha", "Bravo", "Kilo"}) Game(n, 6);
  Showing(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  Tool("delete from mediadata where name = 'Bravo';");
  PromptScript::Clear();
  emit W().Delete_Picture->clicked();
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Bravo\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Name(), "Kilo");
  EXPECT_EQ(Tool("select name from mediadata where sectionnumber = 6 order by name;"), "Alpha\nKilo\n");
}

TEST_F(GameOnShowTest, AddPictureOnAGameAnotherProgramRemovedTellsItAndMovesOn) {
  std::filesystem::create_directories(Home() + "/pics");
  QImage dot(2, 2, QImage::Format_RGB32);
  dot.fill(Qt::red);
  ASSERT_TRUE(dot.save(QString::fromStdString(Home() + "/pics/cover.png")));
  for (const char* n : {"Alpha", "Bravo", "Kilo"}) Game(n, 6);
  Showing(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  Tool("delete from mediadata where name = 'Bravo';");
  PromptScript::Clear();
  PromptScript::AnswerText(Home() + "/pics/cover.png");
  emit W().Add_Picture->clicked();
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Bravo\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Name(), "Kilo");
  EXPECT_EQ(Tool("select name || '|' || ifnull(picture, '') from mediadata where sectionnumber = 6 order by name;"),
            "Alpha|\nKilo|\n");
}

TEST_F(GameOnShowTest, QuickDisplayDoubleClickOnAGameAnotherProgramDeletedTellsAndKeepsTheGameShown) {
  for (const char* n : {"Alpha", "Bravo", "Kilo"}) Game(n, 6);
  PLMain_Form& w = Showing(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  w.qdmenu->trigger();
  PLQDForm* qd = GameQuickDisplayWindow();
  ASSERT_NE(qd, nullptr);
  auto rowOf = [qd](const std::string& name) {
    for (int r = 1; r < qd->QDGrid->Rows(); ++r)
      if (qd->QDGrid->TextMatrix(r, 2).toStdString() == name) return r;
    return -1;
  };
  ASSERT_GT(rowOf("Kilo"), 0);
  Tool("delete from mediadata where name = 'Kilo';");
  PromptScript::Clear();
  qd->QDGrid->SetRow(rowOf("Kilo"));
  qd->OpenFromQuickDisplay();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Kilo\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(rowOf("Kilo"), -1);
  Reveal(w.txtName);
  EXPECT_ON_SCREEN(w.txtName);
  EXPECT_EQ(Name(), "Bravo");
  PromptScript::Clear();
  Type(w.txtPlayers, "2");
  Press(3);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select name, players from mediadata where sectionnumber = 6 order by name;"), "Alpha|\nBravo|2\n");
}

}  // namespace
}  // namespace pl::testing

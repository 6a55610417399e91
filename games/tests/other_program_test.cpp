// Another program on the open game collection: the standard sqlite3 tool
// writes to it while the game window shows a game (after Next, after a
// letter), and the window's File waits while the tool holds a write.
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "core/tests/OtherProgram.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using tvn::testing::BackToUser;
using vb::PromptScript;

class GameWindowAndTool : public GameWindowTest {
 protected:
  void Letter(char letter) { W().LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger(); }
  static std::string Insert(const std::string& name) {
    return "insert into mediadata (name, sectionnumber) values ('" + name + "', 6);\n";
  }
  Strings Names() { return Texts("select name from mediadata where sectionnumber = 6 order by name", "name"); }
};

TEST_F(GameWindowAndTool, AnotherProgramWritesWhileAGameIsOnShow) {
  for (const char* n : {"Alpha", "Bravo", "Brick", "Kilo"}) Game(n, 6);
  Showing(6);
  const std::string file = Db().Name();
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* shown;
    const char* added;
  } steps[] = {{"next", [&] { Press(6); }, "Bravo", "Bolt"},
               {"letter", [&] { Letter('K'); }, "Kilo", "Bingo"}};
  size_t games = 4;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    BackToUser();
    EXPECT_EQ(Name(), s.shown);
    const tvn::testing::ToolRun run = tvn::testing::RunTool(file, Insert(s.added) + "pragma integrity_check;\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "ok\n");
    EXPECT_EQ(Names().size(), ++games);
  }
  // The next section choice lists what the tool added.
  Choose("Gameboy");
  Choose("Other");
  BackToUser();
  Letter('B');
  EXPECT_ON_SCREEN(W().List_Combo);
  EXPECT_EQ(Items(W().List_Combo), (Strings{"Bingo", "Bolt", "Bravo", "Brick"}));
  EXPECT_TRUE(PromptScript::Texts().empty());
}

TEST_F(GameWindowAndTool, FileWaitsWhileAnotherProgramHoldsAWrite) {
  for (const char* n : {"Alpha", "Bravo"}) Game(n, 6);
  Showing(6);
  const std::string file = Db().Name();
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  W().txtNotes->setPlainText("Typed while the tool writes");

  auto tool = tvn::testing::HoldWrite(file, Insert("Zeta"));
  ASSERT_EQ(tool->state(), QProcess::Running) << tool->readAllStandardError().toStdString();
  Press(3);
  const tvn::testing::ToolRun run = tvn::testing::Finish(*tool);
  EXPECT_EQ(run.exitCode, 0) << run.err;

  // No message: File waited for the tool and then filed the game.
  EXPECT_TRUE(PromptScript::Texts().empty()) << PromptScript::Texts().front();
  EXPECT_EQ(Names(), (Strings{"Alpha", "Bravo", "Zeta"}));
  EXPECT_EQ(Texts("select notes from mediadata where name = 'Bravo'", "notes"),
            Strings{"Typed while the tool writes"});
  EXPECT_EQ(Name(), "Bravo");
}

}  // namespace
}  // namespace pl::testing

namespace pl::testing {
namespace {

// A date another program stored far outside the calendar is no date: the
// game shows with its date boxes empty, never a made-up day, and showing it
// leaves the stored values as they were.
TEST_F(GameWindowAndTool, ADateStoredFarOutsideTheCalendarShowsNoMadeUpDay) {
  for (const char* n : {"Alpha", "Bravo"}) Game(n, 6);
  const std::string file = Db().Name();
  const tvn::testing::ToolRun wrote = tvn::testing::RunTool(
      file, "update mediadata set date_aquired = 1e300, date_released = -1e300 where name = 'Bravo';\n");
  ASSERT_EQ(wrote.exitCode, 0) << wrote.err;
  const std::string stored = "select quote(date_aquired) || '|' || quote(date_released) from mediadata "
                             "where name = 'Bravo';\n";
  const std::string before = tvn::testing::RunTool(file, stored).out;
  PLMain_Form& w = Showing(6);
  Press(6);
  BackToUser();
  ASSERT_EQ(Name(), "Bravo");
  EXPECT_ON_SCREEN(w.DateAquired);
  EXPECT_ON_SCREEN(w.DateReleased);
  EXPECT_EQ(w.DateAquired->text().toStdString(), "");
  EXPECT_EQ(w.DateReleased->text().toStdString(), "");
  EXPECT_EQ(tvn::testing::RunTool(file, stored).out, before);
  EXPECT_EQ(before, "1.0e+300|-1.0e+300\n");

  // Filed with another field typed, the hidden dates stay; Clear Date on
  // one of them erases it, and only it.
  Type(w.txtPlayers, "2");
  Press(3);
  BackToUser();
  EXPECT_EQ(tvn::testing::RunTool(file, stored).out, before);
  emit w.btnBlankADate->clicked();
  Press(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << PromptScript::Texts().front();
  EXPECT_EQ(tvn::testing::RunTool(file, stored).out, "NULL|-1.0e+300\n");
  EXPECT_EQ(w.DateAquired->text().toStdString(), "");
}

}  // namespace
}  // namespace pl::testing

namespace pl::testing {
namespace {

// Names another program stored longer than their columns: the name box
// shows the whole stored name; filed with other fields typed, the game
// keeps its name and publisher; filed anew after the tool removed it, it
// names the same publisher entry. The publisher list never gets a cut copy.
TEST_F(GameWindowAndTool, NamesStoredLongerThanTheirColumnsShowWholeAndFileAsStored) {
  const std::string name = std::string(30, 'N') + "ame stored by the tool, " + std::string(10, 'n');
  const std::string maker = std::string(55, 'P') + "ublisher";
  const std::string file = Db().Name();
  Game("Alpha", 6);
  const tvn::testing::ToolRun wrote = tvn::testing::RunTool(
      file, "insert into publisher (labelstudio_name, OtherOn) values ('" + maker + "', 1);\n"
            "insert into mediadata (name, sectionnumber, publisher) values ('" + name +
                "', 6, (select publisher from publisher));\n");
  ASSERT_EQ(wrote.exitCode, 0) << wrote.err;
  const long key = Long("select publisher from publisher", "publisher");
  const std::string stored = "select name || '|' || publisher from mediadata where sectionnumber = 6 order by name;\n";
  PLMain_Form& w = Showing(6);
  Press(6);
  BackToUser();
  EXPECT_ON_SCREEN(w.txtName);
  ASSERT_EQ(Name(), name);

  Type(w.txtPlayers, "2");
  PromptScript::Clear();
  Press(3);
  BackToUser();
  EXPECT_TRUE(PromptScript::Texts().empty()) << PromptScript::Texts().front();
  EXPECT_EQ(tvn::testing::RunTool(file, stored).out, "Alpha|0\n" + name + "|" + std::to_string(key) + "\n");
  EXPECT_EQ(Name(), name);

  // Removed by the tool while shown, then filed anew: the publisher box was
  // left as shown, so the game names that entry again.
  ASSERT_EQ(tvn::testing::RunTool(file, "delete from mediadata where name = '" + name + "';\n").exitCode, 0);
  Type(w.txtPlayers, "3");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  Press(3);
  BackToUser();
  ASSERT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_NE(PromptScript::Texts().front().find("was removed"), std::string::npos) << PromptScript::Texts().front();
  EXPECT_EQ(Count("publisher"), 1);
  EXPECT_EQ(tvn::testing::RunTool(file, stored).out,
            "Alpha|0\n" + name.substr(0, 48) + "|" + std::to_string(key) + "\n");

  // Typing is held to what a typed name keeps.
  Press(1);
  Type(w.txtName, std::string(60, 'T'));
  EXPECT_EQ(Name(), std::string(48, 'T'));
}

}  // namespace
}  // namespace pl::testing

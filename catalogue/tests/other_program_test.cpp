// Another program on the open collection: the standard sqlite3 tool
// writes to it while the media window shows a record (after Next, after a
// letter), and the window's File waits while the tool holds a write.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/tests/OtherProgram.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::testing::BackToUser;
using tvn::testing::RunTool;
using vb::PromptScript;

namespace {

std::string Shown(tvn::NewMain_Form& w) { return w.CS_Name_Text->text().toStdString(); }

tvn::NewMain_Form& Showing(tvn::NewMain_Form& w) {
  w.FirstActivate = false;
  w.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  return w;
}

void Letter(tvn::NewMain_Form& w, char letter) { w.LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger(); }

std::vector<std::string> Listed(tvn::NewMain_Form& w) {
  std::vector<std::string> out;
  for (int i = 0; i < w.List_Combo->count(); ++i) out.push_back(w.List_Combo->itemText(i).toStdString());
  return out;
}

std::string Insert(const std::string& name) {
  return "insert into mediadata (name, sectionnumber, section) values ('" + name + "', 2, 'Compact Disc');\n";
}

}  // namespace

TEST_F(CatalogueTest, AnotherProgramWritesWhileARecordIsOnShow) {
  for (const char* name : {"Abbey Road", "Blue Train", "Bridges", "Kind of Blue"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  const std::string file = tvn::App().CollectionDB->Name();

  // After Next, and after a letter, the window waits for the user with a
  // record on show; the tool writes and checks the file meanwhile.
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* shown;
    const char* added;
  } steps[] = {{"next", [&] { w.Toolbar1_ButtonClick(6); }, "Blue Train", "Bossa Nova"},
               {"letter", [&] { Letter(w, 'K'); }, "Kind of Blue", "Bolero"}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    BackToUser();
    EXPECT_EQ(Shown(w), s.shown);
    const tvn::testing::ToolRun run = RunTool(file, Insert(s.added) + "pragma integrity_check;\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "ok\n");
    EXPECT_EQ(cattest::Names(2).size(), s.what == std::string("next") ? 5u : 6u);
  }
  // The next section choice lists what the tool added.
  w.ItemClickProcess(1);
  w.ItemClickProcess(2);
  BackToUser();
  Letter(w, 'B');
  EXPECT_ON_SCREEN(w.List_Combo);
  EXPECT_EQ(Listed(w), (std::vector<std::string>{"Blue Train", "Bolero", "Bossa Nova", "Bridges"}));
  EXPECT_TRUE(PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, FileWaitsWhileAnotherProgramHoldsAWrite) {
  for (const char* name : {"Abbey Road", "Blue Train"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  const std::string file = tvn::App().CollectionDB->Name();
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  w.CD_Notes_Text->setPlainText("Typed while the tool writes");

  auto tool = tvn::testing::HoldWrite(file, Insert("Giant Steps"));
  ASSERT_EQ(tool->state(), QProcess::Running) << tool->readAllStandardError().toStdString();
  w.Toolbar1_ButtonClick(3);
  const tvn::testing::ToolRun run = tvn::testing::Finish(*tool);
  EXPECT_EQ(run.exitCode, 0) << run.err;

  // No message: File waited for the tool and then filed the record.
  EXPECT_TRUE(PromptScript::Texts().empty()) << PromptScript::Texts().front();
  EXPECT_EQ(cattest::Names(2), (std::vector<std::string>{"Abbey Road", "Blue Train", "Giant Steps"}));
  auto rs = tvn::App().CollectionDB->OpenRecordset("select notes from mediadata where name = 'Blue Train'");
  EXPECT_EQ(vb::NzStr(rs->GetField("notes")), "Typed while the tool writes");
  rs->Close();
  EXPECT_EQ(Shown(w), "Blue Train");
}

// A date another program stored far outside the calendar (or as an
// infinity) is no date: the record shows with its date boxes empty, never
// a made-up year, and showing it leaves the stored value as it was.
TEST_F(CatalogueTest, ADateStoredFarOutsideTheCalendarShowsNoMadeUpDay) {
  for (const char* name : {"Far Future", "Far Past", "Endless", "Plain"}) AddItem(3, name);
  const std::string file = tvn::App().CollectionDB->Name();
  const std::string values =
      "update mediadata set date_aquired = 1e300, RYear = 1e300 where name = 'Far Future';\n"
      "update mediadata set date_aquired = -1e300, RYear = -2958466 where name = 'Far Past';\n"
      "update mediadata set date_aquired = 9e999, RYear = -9e999 where name = 'Endless';\n"
      "update mediadata set date_aquired = 36525, RYear = 29221 where name = 'Plain';\n";
  const tvn::testing::ToolRun wrote = RunTool(file, values);
  ASSERT_EQ(wrote.exitCode, 0) << wrote.err;
  const std::string stored = "select name || '|' || date_aquired || '|' || RYear from mediadata order by name;\n";
  const tvn::testing::ToolRun before = RunTool(file, stored);

  auto& w = Showing(WindowOn(3));
  for (const char* name : {"Far Future", "Far Past", "Endless"}) {
    SCOPED_TRACE(name);
    w.CS_Load_Data(name);
    BackToUser();
    EXPECT_EQ(w.Video_Name_Text->text().toStdString(), name);
    EXPECT_ON_SCREEN(w.Video_Date_Text);
    EXPECT_ON_SCREEN(w.Video_RYear_Text);
    EXPECT_EQ(tvn::NewMain_Form::TextOf(w.Video_Date_Text), "");
    EXPECT_EQ(tvn::NewMain_Form::TextOf(w.Video_RYear_Text), "");
  }
  // A date within the calendar still shows.
  w.CS_Load_Data("Plain");
  BackToUser();
  EXPECT_EQ(tvn::NewMain_Form::TextOf(w.Video_Date_Text), "12/31/1999");
  EXPECT_EQ(tvn::NewMain_Form::TextOf(w.Video_RYear_Text), "1980");
  EXPECT_EQ(RunTool(file, stored).out, before.out);
  EXPECT_NE(before.out.find("Far Future|1.0e+300|1.0e+300"), std::string::npos) << before.out;
}

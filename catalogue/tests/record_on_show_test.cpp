// Another program changes or deletes the record the media window shows:
// File asks before it writes over a change it did not make, a record that
// is gone is offered to be filed anew or dropped, navigation steps over
// rows that are gone, and a field the user left alone keeps what the file
// holds, whatever that is. The other program is the sqlite3 tool; the file
// is read back with it too.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <filesystem>

#include "core/tests/ShownBoxes.h"
#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "core/tests/OtherProgram.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::testing::BackToUser;
using vb::PromptScript;

namespace {

using tvn::testing::Boxes;
using tvn::testing::Reveal;

std::string Shown(tvn::NewMain_Form& w) { return w.CS_Name_Text->text().toStdString(); }
std::string Text(QWidget* w) { return tvn::RecordWindow::TextOf(w); }

tvn::NewMain_Form& Showing(tvn::NewMain_Form& w) {
  w.FirstActivate = false;
  w.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  return w;
}

// What the tool prints for a query on the file (rows as "a|b" lines).
std::string Tool(const std::string& sql) {
  BackToUser();  // the window waits for the user while the tool works
  const tvn::testing::ToolRun run = tvn::testing::RunTool(tvn::App().CollectionDB->Name(), sql + "\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.out;
}

// Brings the tab holding the control forward, as the user clicks it.
bool AnyEngineError() {
  for (const std::string& t : PromptScript::Texts())
    if (t.find("Error") != std::string::npos || t.find("3167") != std::string::npos ||
        t.find("3021") != std::string::npos)
      return true;
  return false;
}

class RecordOnShowTest : public CatalogueTest {
 protected:
  // Blue Train shown on the compact discs, its serial typed over, and the
  // tool's new notes in the file meanwhile.
  tvn::NewMain_Form& ChangedOnBothSides() {
    AddItem(2, "Abbey Road");
    AddItem(2, "Blue Train", {{"notes", vb::Variant("Shown notes")}, {"serial", vb::Variant("S-1")}});
    AddItem(2, "Kind of Blue");
    auto& w = Showing(WindowOn(2));
    w.Toolbar1_ButtonClick(6);
    BackToUser();
    EXPECT_EQ(Shown(w), "Blue Train");
    Tool("update mediadata set notes = 'Notes of the tool' where name = 'Blue Train';");
    w.SSTab1->setCurrentIndex(0);
    w.CD_Serial_Text->setText("S-2 typed");
    return w;
  }
  void FileAnswering(int answer, const char* stored, const char* notesShown, const char* serialShown);
  void FileDeleted(int answer);
};

// File after another program changed the record, answered with `answer`:
// notes|serial in the file after, and the notes and serial on screen.
void RecordOnShowTest::FileAnswering(int answer, const char* stored, const char* notesShown, const char* serialShown) {
  auto& w = ChangedOnBothSides();
  const std::string file = tvn::App().CollectionDB->Name();
  PromptScript::Clear();
  PromptScript::Answer(answer);
  w.Toolbar1_ButtonClick(3);
  BackToUser();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  const std::string box = PromptScript::Texts().front();
  EXPECT_NE(box.find("\"Blue Train\" was changed"), std::string::npos) << box;
  EXPECT_NE(box.find(file), std::string::npos) << box;
  EXPECT_NE(box.find("another program"), std::string::npos) << box;
  EXPECT_EQ(Tool("select notes, serial from mediadata where name = 'Blue Train';"), std::string(stored) + "\n");
  EXPECT_EQ(Tool("select count(*) from mediadata;"), "3\n");
  Reveal(w.CD_Notes_Text);
  EXPECT_ON_SCREEN(w.CD_Notes_Text);
  EXPECT_EQ(Text(w.CD_Notes_Text), notesShown);
  Reveal(w.CD_Serial_Text);
  EXPECT_ON_SCREEN(w.CD_Serial_Text);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Shown(w), "Blue Train");
  EXPECT_EQ(Text(w.CD_Serial_Text), serialShown);
  // Cancel keeps the typing; after the other two nothing is left to ask about.
  EXPECT_EQ(w.RecordChanged(), answer == vb::vbCancel);
}

TEST_F(RecordOnShowTest, AnotherProgramsChangeKeptBesideTheTypedOneWhenTheUserFilesTheirs) {
  FileAnswering(vb::vbYes, "Notes of the tool|S-2 typed", "Notes of the tool", "S-2 typed");
}

TEST_F(RecordOnShowTest, AnotherProgramsChangeTakenDropsTheTyping) {
  FileAnswering(vb::vbNo, "Notes of the tool|S-1", "Notes of the tool", "S-1");
}

TEST_F(RecordOnShowTest, AnotherProgramsChangeCancelledGoesBackToTheTypingAndWritesNothing) {
  FileAnswering(vb::vbCancel, "Notes of the tool|S-1", "Shown notes", "S-2 typed");
}

TEST_F(RecordOnShowTest, AFieldLeftAloneKeepsWhatTheFileHoldsWhenFiled) {
  AddItem(2, "Abbey Road");
  AddItem(2, "Blue Train", {{"notes", vb::Variant("Shown notes")}});
  // Another program wrote a text the date box cannot show, before the record was shown.
  Tool("update mediadata set date_aquired = 'not a date' where name = 'Blue Train';");
  auto& w = Showing(WindowOn(2));
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  w.SSTab1->setCurrentIndex(0);
  EXPECT_ON_SCREEN(w.CS_Date_Text);
  EXPECT_EQ(Text(w.CS_Date_Text), "");
  // Filed untouched, then with another field changed: no question, the text stays.
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Tool("select date_aquired, typeof(date_aquired) from mediadata where name = 'Blue Train';"),
            "not a date|text\n");
  w.CD_Notes_Text->setPlainText("Typed notes");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Tool("select date_aquired, notes from mediadata where name = 'Blue Train';"),
            "not a date|Typed notes\n");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  // Clear Date erases what the box could not show.
  emit w.btnbdm->clicked();
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Tool("select typeof(date_aquired), notes from mediadata where name = 'Blue Train';"),
            "null|Typed notes\n");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  // A date typed in is filed as a date.
  w.CS_Date_Text->setText("3/4/2021");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Tool("select typeof(date_aquired) <> 'null' and date_aquired <> 'not a date' from mediadata "
                 "where name = 'Blue Train';"),
            "1\n");
}

// File on a record another program deleted, answered with `answer`.
void RecordOnShowTest::FileDeleted(int answer) {
  {
    AddItem(2, "Abbey Road");
    AddItem(2, "Blue Train", {{"serial", vb::Variant("S-1")}});
    AddItem(2, "Kind of Blue");
    auto& w = Showing(WindowOn(2));
    w.Toolbar1_ButtonClick(6);
    BackToUser();
    ASSERT_EQ(Shown(w), "Blue Train");
    w.SSTab1->setCurrentIndex(0);
    w.CD_Serial_Text->setText("S-2 typed");
    Tool("delete from mediadata where name = 'Blue Train';");
    PromptScript::Clear();
    PromptScript::Answer(answer);
    w.Toolbar1_ButtonClick(3);
    BackToUser();
    EXPECT_FALSE(AnyEngineError()) << Boxes();
    ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
    const std::string box = PromptScript::Texts().front();
    EXPECT_NE(box.find("\"Blue Train\" was removed from the collection"), std::string::npos) << box;
    EXPECT_NE(box.find(tvn::App().CollectionDB->Name()), std::string::npos) << box;
    EXPECT_NE(box.find("new record"), std::string::npos) << box;
    w.SSTab1->setCurrentIndex(0);
    EXPECT_ON_SCREEN(w.CS_Name_Text);
    if (answer == vb::vbYes) {
      EXPECT_EQ(Tool("select name, serial from mediadata order by name;"),
                "Abbey Road|\nBlue Train|S-2 typed\nKind of Blue|\n");
      EXPECT_EQ(Shown(w), "Blue Train");
      EXPECT_EQ(Text(w.CD_Serial_Text), "S-2 typed");
    } else {
      EXPECT_EQ(Tool("select name from mediadata order by name;"), "Abbey Road\nKind of Blue\n");
      EXPECT_EQ(Shown(w), "Kind of Blue");
    }
    EXPECT_FALSE(w.RecordChanged());
    // The title list holds what exists.
    std::vector<std::string> listed;
    for (int i = 0; i < w.List_Combo->count(); ++i) listed.push_back(w.List_Combo->itemText(i).toStdString());
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "Blue Train"), answer == vb::vbYes ? 1 : 0);
    // File goes on as usual from here.
    PromptScript::Clear();
    w.CD_Serial_Text->setText("S-3");
    w.Toolbar1_ButtonClick(3);
    EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
    EXPECT_EQ(Tool("select serial from mediadata where name = " + dao::SqlQuote(Shown(w)) + ";"), "S-3\n");
  }
}

TEST_F(RecordOnShowTest, AReleaseYearLeftAloneKeepsItsDayWhenFiled) {
  AddItem(3, "Alien");
  Tool("update mediadata set ryear = '1979-05-25 00:00:00' where name = 'Alien';");
  auto& w = Showing(WindowOn(3));
  ASSERT_EQ(Text(w.Video_Name_Text), "Alien");
  Reveal(w.Video_RYear_Text);
  EXPECT_ON_SCREEN(w.Video_RYear_Text);
  EXPECT_EQ(Text(w.Video_RYear_Text), "1979");
  // The year box shows the year only: filed untouched, the stored day stays.
  w.Video_CatNum_Text->setText("ALN-1");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Tool("select ryear, cat_number from mediadata where name = 'Alien';"), "1979-05-25 00:00:00|ALN-1\n");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
}

TEST_F(RecordOnShowTest, FileOnARecordAnotherProgramDeletedFilesItAnewWhenAsked) { FileDeleted(vb::vbYes); }

TEST_F(RecordOnShowTest, FileOnARecordAnotherProgramDeletedDropsItAndMovesOn) { FileDeleted(vb::vbNo); }

TEST_F(RecordOnShowTest, NavigationStepsOverRecordsAnotherProgramDeleted) {
  for (const char* name : {"Abbey Road", "Blue Train", "Bridges", "Giant Steps", "Kind of Blue", "Zebra"})
    AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  ASSERT_EQ(Shown(w), "Abbey Road");
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(6);
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Giant Steps");
  Tool("delete from mediadata where name in ('Blue Train', 'Bridges', 'Kind of Blue');");

  // Previous over two deleted neighbours, then Next over them and another.
  w.Toolbar1_ButtonClick(5);
  EXPECT_EQ(Shown(w), "Abbey Road");
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Giant Steps");
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Zebra");
  w.Toolbar1_ButtonClick(6);
  EXPECT_EQ(Shown(w), "Abbey Road");
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  // The letter B lost its titles.
  w.SSTab1->setCurrentIndex(0);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Face('B'), 2);
  EXPECT_EQ(Face('K'), 2);

  // A letter whose only record is gone: told, and the next record shown.
  Tool("delete from mediadata where name = 'Giant Steps';");
  PromptScript::Clear();
  w.LetterButtons[size_t(3 * ('G' - 'A') + 1)]->trigger();
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Giant Steps\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Shown(w), "Zebra");
  EXPECT_EQ(Face('G'), 2);
  EXPECT_EQ(Face('Z'), 1);
  // File works on what is shown now.
  PromptScript::Clear();
  w.CD_Serial_Text->setText("Z-1");
  w.Toolbar1_ButtonClick(3);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select name, serial from mediadata order by name;"), "Abbey Road|\nZebra|Z-1\n");
}

TEST_F(RecordOnShowTest, DeletePictureOnARecordAnotherProgramRemovedTellsItAndMovesOn) {
  for (const char* name : {"Abbey Road", "Blue Train", "Zebra"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  Tool("delete from mediadata where name = 'Blue Train';");
  PromptScript::Clear();
  emit w.Delete_Picture->clicked();
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Blue Train\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Shown(w), "Zebra");
  EXPECT_EQ(Tool("select name from mediadata order by name;"), "Abbey Road\nZebra\n");
}

TEST_F(RecordOnShowTest, AddPictureOnARecordAnotherProgramRemovedTellsItAndMovesOn) {
  std::filesystem::create_directories(Dir() / "pics");
  QImage dot(2, 2, QImage::Format_RGB32);
  dot.fill(Qt::red);
  ASSERT_TRUE(dot.save(QString::fromStdString((Dir() / "pics" / "cover.png").string())));
  for (const char* name : {"Abbey Road", "Blue Train", "Zebra"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  Tool("delete from mediadata where name = 'Blue Train';");
  PromptScript::Clear();
  PromptScript::AnswerText((Dir() / "pics" / "cover.png").string());
  emit w.Add_Picture->clicked();
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Blue Train\" was removed from the collection"), std::string::npos);
  EXPECT_EQ(Shown(w), "Zebra");
  EXPECT_EQ(Tool("select name || '|' || ifnull(picture, '') from mediadata order by name;"), "Abbey Road|\nZebra|\n");
}

TEST_F(RecordOnShowTest, ATitlePickedFromTheListThatIsGoneIsToldAndSteppedOver) {
  for (const char* name : {"Abbey Road", "Blue Train", "Bridges"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  w.LetterButtons[size_t(3 * ('B' - 'A') + 1)]->trigger();
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  Tool("delete from mediadata where name = 'Bridges';");
  w.List_Combo->setCurrentIndex(w.List_Combo->findText("Bridges"));
  emit w.List_Combo->activated(w.List_Combo->currentIndex());
  BackToUser();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Bridges\" was removed"), std::string::npos);
  EXPECT_EQ(Shown(w), "Abbey Road");  // the next after Bridges, round to the first
  w.SSTab1->setCurrentIndex(0);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
}

}  // namespace

namespace {

TEST_F(RecordOnShowTest, QuickDisplayDoubleClickOnARecordAnotherProgramDeletedTellsAndKeepsTheRecordShown) {
  for (const char* name : {"Abbey Road", "Blue Train", "Kind of Blue"}) AddItem(2, name);
  auto& w = Showing(WindowOn(2));
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(Shown(w), "Blue Train");
  // The quick display shows records through the window, as the program wires it.
  auto& hooks = tvn::QuickDisplayHooks::Get();
  struct HooksBack {
    tvn::QuickDisplayHooks& hooks;
    tvn::QuickDisplayHooks saved;
    ~HooksBack() {
      tvn::CloseQuickDisplay();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      hooks = saved;
    }
  } back{hooks, hooks};
  hooks.CS_Load_Data = [&w](const std::string& name) { w.CS_Load_Data(name); };
  tvn::AVQDForm* qd = tvn::ShowQuickDisplay();
  ASSERT_NE(qd, nullptr);
  auto rowOf = [qd](const std::string& name) {
    for (int r = 1; r < qd->QDGrid->Rows(); ++r)
      if (qd->QDGrid->TextMatrix(r, 2).toStdString() == name) return r;
    return -1;
  };
  ASSERT_GT(rowOf("Kind of Blue"), 0);
  Tool("delete from mediadata where name = 'Kind of Blue';");
  PromptScript::Clear();
  qd->QDGrid->SetRow(rowOf("Kind of Blue"));
  qd->QDGrid_DblClick();
  EXPECT_FALSE(AnyEngineError()) << Boxes();
  ASSERT_EQ(PromptScript::Texts().size(), 1u) << Boxes();
  EXPECT_NE(PromptScript::Texts().front().find("\"Kind of Blue\" was removed from the collection"),
            std::string::npos);
  EXPECT_EQ(rowOf("Kind of Blue"), -1);
  w.SSTab1->setCurrentIndex(0);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Shown(w), "Blue Train");
  // The record shown files as before.
  PromptScript::Clear();
  w.CD_Serial_Text->setText("B-1");
  w.Toolbar1_ButtonClick(3);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Tool("select name, serial from mediadata order by name;"), "Abbey Road|\nBlue Train|B-1\n");
}

}  // namespace

namespace {

TEST_F(RecordOnShowTest, LeavingWithTheTypingFiledAsksAboutAnotherProgramsChangeToo) {
  auto& w = ChangedOnBothSides();
  // Next: the typed serial is to be saved, then the tool's notes are kept beside it.
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  w.Toolbar1_ButtonClick(6);
  BackToUser();
  ASSERT_EQ(PromptScript::Texts().size(), 2u) << Boxes();
  EXPECT_EQ(PromptScript::Texts()[0], "Save the changes to \"Blue Train\"?");
  EXPECT_NE(PromptScript::Texts()[1].find("\"Blue Train\" was changed"), std::string::npos);
  EXPECT_EQ(Tool("select notes, serial from mediadata where name = 'Blue Train';"), "Notes of the tool|S-2 typed\n");
  w.SSTab1->setCurrentIndex(0);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_EQ(Shown(w), "Kind of Blue");

  // Previous, typing on Kind of Blue, the tool changes it, the stored record taken.
  w.CD_Serial_Text->setText("K-typed");
  Tool("update mediadata set notes = 'Tool again' where name = 'Kind of Blue';");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbNo);
  w.Toolbar1_ButtonClick(5);
  BackToUser();
  ASSERT_EQ(PromptScript::Texts().size(), 2u) << Boxes();
  EXPECT_EQ(Tool("select notes, serial from mediadata where name = 'Kind of Blue';"), "Tool again|\n");
  // The stored record is on show, nothing typed is left; the next Previous goes on at once.
  EXPECT_EQ(Shown(w), "Kind of Blue");
  EXPECT_EQ(Text(w.CD_Serial_Text), "");
  EXPECT_FALSE(w.RecordChanged());
  PromptScript::Clear();
  w.Toolbar1_ButtonClick(5);
  EXPECT_TRUE(PromptScript::Texts().empty()) << Boxes();
  EXPECT_EQ(Shown(w), "Blue Train");
}

}  // namespace

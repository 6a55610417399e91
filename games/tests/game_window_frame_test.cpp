// What the game window shares with the media window: the title letter of a
// filed name, the spelling keys, the smart combos with their switch, the
// date check that shows its box, and the question before typed changes to
// the game on show are left behind.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QTest>
#include <QTextEdit>

#include "games/PLQDForm.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

class GameFrame : public GameWindowTest {
 protected:
  PLMain_Form& Shown(int section) {
    PLMain_Form& w = Open(section);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return w;
  }
  Strings ListItems() { return Items(W().List_Combo); }
  void ItemClickProcessFor(int section) {
    std::uint8_t n = std::uint8_t(section);
    W().ItemClickProcessPL(n);
  }
  void Letter(char letter) { W().LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger(); }
  static void Release(QWidget* w, int key) {
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
  }
  std::string Stored(const std::string& name, const std::string& field) {
    const Strings v = Texts("select " + field + " from mediadata where name = " + dao::SqlQuote(name), field);
    return v.empty() ? "<none>" : v.front();
  }
};

// ---------------------------------------------------------------- the letter of a filed name

TEST_F(GameFrame, AFiledNameWithAnAccentedFirstLetterIsListedUnderItsBaseLetter) {
  Open(3);  // Sony holds no game
  AddGame("Über Racer");
  EXPECT_EQ(ListItems(), Strings({"Über Racer"}));
  EXPECT_EQ(Face('U'), 1);
  EXPECT_EQ(ListText(), "Über Racer");

  Game("Apple", 1);
  Game("élan", 1);
  ItemClickProcessFor(1);
  Letter('E');
  ASSERT_EQ(Name(), "élan");
  Type(W().txtName, "Élan");
  Press(3);
  EXPECT_EQ(ListItems(), Strings({"Élan"}));
  EXPECT_EQ(Face('E'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(Name(), "Élan");
}

// ---------------------------------------------------------------- keys and combos

TEST_F(GameFrame, F7ChecksTheSpellingAndF8LooksUpTheSelectedWord) {
  Game("Zelda", 2);
  Open(2);
  W().txtBestFeature->setText("good music");
  PromptScript::Clear();
  Release(W().txtBestFeature, Qt::Key_F7);
  EXPECT_EQ(PromptScript::Texts(), Strings({"The spelling check is complete."}));

  PromptScript::Clear();
  W().txtNotes->setPlainText("good music");
  Release(W().txtNotes, Qt::Key_F8);  // nothing selected: nothing looked up
  EXPECT_TRUE(PromptScript::Texts().empty());
  W().txtWorstFeature->setText("qzxqzx");
  W().txtWorstFeature->selectAll();
  Release(W().txtWorstFeature, Qt::Key_F8);
  EXPECT_EQ(PromptScript::Texts().size(), 1u);  // the thesaurus has no entry for it and says so
}

TEST_F(GameFrame, CombosCompleteOnlyWhileTheWindowsSmartComboSwitchIsOn) {
  Game("Zelda", 2);
  PLMain_Form& w = Shown(2);
  ASSERT_TRUE(w.SmartComboMenu->isChecked());
  w.SSTab1->setCurrentIndex(0);
  w.cmbRating->setFocus();
  w.cmbRating->setEditText("");
  QTest::keyClick(w.cmbRating, Qt::Key_R, Qt::NoModifier);
  EXPECT_EQ(w.cmbRating->currentText().toStdString(), "RP Pending");
  EXPECT_EQ(w.cmbRating->lineEdit()->selectedText().toStdString(), "P Pending");

  w.SmartComboMenu->setChecked(false);
  w.cmbRating->setEditText("");
  QTest::keyClick(w.cmbRating, 'T');
  EXPECT_EQ(w.cmbRating->currentText().toStdString(), "T");  // typed as it is, no completion of any kind
  w.cmbFormat->setEditText("");
  QTest::keyClick(w.cmbFormat, 'C');
  EXPECT_EQ(w.cmbFormat->currentText().toStdString(), "C");
}

// ---------------------------------------------------------------- the date check

TEST_F(GameFrame, ARefusedDateShowsItsTabAndGetsTheFocus) {
  Game("Zelda", 2);
  PLMain_Form& w = Shown(2);
  w.DateReleased->setText("31/31/99");
  w.SSTab1->setCurrentIndex(5);  // the notes are on show
  PromptScript::Clear();
  Press(3);
  ASSERT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_NE(PromptScript::Texts().front().find("31/31/99"), std::string::npos);
  EXPECT_ON_SCREEN(w.DateReleased);
  EXPECT_EQ(w.focusWidget(), w.DateReleased);
  EXPECT_EQ(Stored("Zelda", "date_released"), "");  // nothing filed
  EXPECT_EQ(w.DateReleased->text().toStdString(), "31/31/99");
}

// ---------------------------------------------------------------- typed changes

TEST_F(GameFrame, LookingAroundAsksNothing) {
  const long zelda = Game("Zelda", 2);
  Game("Asteroids", 2);
  Db().Execute("update mediadata set date_aquired = #1/2/2003#, rating = 'T Teen' where systemnumber = " +
               std::to_string(zelda));
  Shown(2);
  PromptScript::Clear();
  Letter('Z');
  for (int tab = 0; tab < W().SSTab1->count(); ++tab) W().SSTab1->setCurrentIndex(tab);
  Press(6);
  Press(5);
  ItemClickProcessFor(1);
  EXPECT_TRUE(PromptScript::Texts().empty());
}

TEST_F(GameFrame, TypedChangesAreAskedAboutBeforeTheGameIsLeft) {
  Game("Asteroids", 2);
  Game("Zelda", 2);
  Shown(2);
  ASSERT_EQ(Name(), "Asteroids");

  // Cancel stays on the game with what was typed.
  W().txtBestFeature->setText("the rocks");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  Press(6);
  ASSERT_EQ(PromptScript::Texts(), Strings({"Save the changes to \"Asteroids\"?"}));
  EXPECT_EQ(Name(), "Asteroids");
  EXPECT_EQ(W().txtBestFeature->text().toStdString(), "the rocks");
  EXPECT_EQ(Face('A'), 1);

  // No drops them.
  PromptScript::Answer(vb::vbNo);
  Letter('Z');
  EXPECT_EQ(Name(), "Zelda");
  EXPECT_EQ(Stored("Asteroids", "bestfeature"), "");

  // Yes files them, ticks of the link grids included, then moves on.
  W().txtHints->setPlainText("look left");
  PromptScript::Answer(vb::vbYes);
  W().SSListBar1_ItemClick("Sony");
  EXPECT_EQ(Stored("Zelda", "hintstips"), "look left");
  EXPECT_EQ(Title(), "The Pellion - My Collection: Sony");

  // A filing the check refuses keeps the user on the game, nothing lost.
  ItemClickProcessFor(2);
  Letter('Z');
  W().txtName->setText("   ");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  Press(5);
  EXPECT_EQ(PromptScript::Texts().size(), 2u);  // the question, then the name check's message
  EXPECT_EQ(W().txtName->text().toStdString(), "   ");
  EXPECT_EQ(Texts("select name from mediadata order by name", "name"), Strings({"Asteroids", "Zelda"}));
}

TEST_F(GameFrame, TheQuickDisplayAsksOnceAndCancelKeepsTheGameOnShow) {
  Game("Asteroids", 2);
  Game("Pong", 6);
  Shown(2);
  W().txtPlayers->setText("2");
  tvn::QuickDisplayHooks& qd = GameQuickDisplayHooks();
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  // As a double click in the quick display: the section, then the game.
  qd.ItemClickProcess(6);
  qd.CS_Load_Data("Pong");
  EXPECT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_EQ(Name(), "Asteroids");
  EXPECT_EQ(W().txtPlayers->text().toStdString(), "2");
  EXPECT_EQ(int(PLData().SectionNumber), 2);
  EXPECT_EQ(W().SSListBar1->currentItem()->text(0).toStdString(), "Nintendo");

  tvn::testing::Pump();
  PromptScript::Answer(vb::vbYes);
  qd.ItemClickProcess(6);
  qd.CS_Load_Data("Pong");
  EXPECT_EQ(Stored("Asteroids", "players"), "2");
  EXPECT_EQ(Name(), "Pong");
  EXPECT_EQ(Face('P'), 1);
}

TEST_F(GameFrame, AGameShownFromTheQuickDisplayLightsItsLetter) {
  Game("Asteroids", 2);
  Game("Zelda", 2);
  Open(2);
  ASSERT_EQ(Face('A'), 1);
  GameQuickDisplayHooks().CS_Load_Data("Zelda");
  EXPECT_EQ(Name(), "Zelda");
  EXPECT_EQ(Face('Z'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(ListItems(), Strings({"Zelda"}));
  EXPECT_EQ(W().CurrentLetter, "Z");
}

}  // namespace
}  // namespace pl::testing

namespace pl::testing {
namespace {

TEST_F(GameFrame, AFiledGameTakesItsPlaceInTheSectionWithoutReadingItAgain) {
  for (const char* name : {"Asteroids", "Kirby", "Zelda"}) Game(name, 2);
  Open(2);
  auto walk = [this] {
    Strings out;
    W().LoadData_PL("Asteroids");
    for (int i = 0; i < 8; ++i) {
      out.push_back(Name());
      Press(6);
      if (Name() == "Asteroids") break;
    }
    return out;
  };
  AddGame("\xC3\xA9lan");
  EXPECT_EQ(Face('E'), 1);
  AddGame("metroid");
  EXPECT_EQ(ListItems(), Strings({"metroid"}));
  EXPECT_EQ(walk(), Strings({"Asteroids", "\xC3\xA9lan", "Kirby", "metroid", "Zelda"}));

  W().LoadData_PL("Kirby");
  Type(W().txtName, "Bomberman");
  Press(3);
  EXPECT_EQ(Face('K'), 2);
  EXPECT_EQ(Face('B'), 1);
  Press(5);
  EXPECT_EQ(Name(), "Asteroids");
  EXPECT_EQ(walk(), Strings({"Asteroids", "Bomberman", "\xC3\xA9lan", "metroid", "Zelda"}));
  ItemClickProcessFor(2);  // a fresh look at the section agrees
  EXPECT_EQ(walk(), Strings({"Asteroids", "Bomberman", "\xC3\xA9lan", "metroid", "Zelda"}));
}

}  // namespace
}  // namespace pl::testing

namespace pl::testing {
namespace {

TEST_F(GameFrame, ClicksMadeWhileABigSectionIsReadAreDropped) {
  Db().BeginTrans();
  for (int i = 0; i < 2000; ++i) Game("Game " + std::to_string(i), 2);
  Db().CommitTrans();
  PLMain_Form& w = Shown(1);
  // A click on "Sony" made while the Nintendo section is being read.
  QTreeWidgetItem* sony = w.SSListBar1->topLevelItem(2);
  const QPoint at = w.SSListBar1->visualItemRect(sony).center();
  QWidget* view = w.SSListBar1->viewport();
  QCoreApplication::postEvent(view, new QMouseEvent(QEvent::MouseButtonPress, at, view->mapToGlobal(at),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(view, new QMouseEvent(QEvent::MouseButtonRelease, at, view->mapToGlobal(at),
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
  // The windows are repainted at most every 100 ms of long work: past that
  // since the last time, the first of them comes while the rows are read.
  QTest::qSleep(150);
  ItemClickProcessFor(2);
  tvn::testing::Pump();
  EXPECT_EQ(int(PLData().SectionNumber), 2);
  EXPECT_EQ(Title(), "The Pellion - My Collection: Nintendo");
}

}  // namespace
}  // namespace pl::testing

// The game window's menus and what it shows after the windows they open:
// the five lookup editors answered through their own controls, the
// collection manager, the quick display, the report wizard, and the menus
// that a game being added switches off. A real game window on a real game
// collection; the modal windows are worked from a timer while they show.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <memory>

#include "core/MainForm.h"
#include "games/PLCollection_Form.h"
#include "games/PLLookupEditors.h"
#include "games/PLMain_Form.h"
#include "games/PLQDForm.h"
#include "games/reports/frmWizard.h"
#include "games/tests/CollectionFixture.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;
using Btn = tvn::LookupEditorForm::ToolbarButton;

std::vector<std::string> Items(const QComboBox* combo) {
  std::vector<std::string> v;
  for (int i = 0; i < combo->count(); ++i) v.push_back(combo->itemText(i).toStdString());
  return v;
}

// The names a link grid lists (column 1 below the heading).
std::vector<std::string> GridNames(const forms::FlexGrid* grid) {
  std::vector<std::string> v;
  for (int r = 1; r < grid->Rows(); ++r) v.push_back(grid->TextMatrix(r, 1).toStdString());
  return v;
}

std::string Text(const QWidget* w) { return PLMain_Form::TextOf(w); }

class GameMenusTest : public GameCollectionTest {
 protected:
  void SetUp() override {
    GameCollectionTest::SetUp();
    // The launcher as the game window reaches it: its pointer and the
    // "PLRunning" flag.
    launcher_ = std::make_unique<tvn::Form>();
    running_ = new tvn::FlagCheckBox(launcher_.get());
    running_->setObjectName("PLRunning");
    running_->setValue(1);
    launcher_->setMousePointer(tvn::vbHourglass);
    PL().Launcher = launcher_.get();

    const auto nintendo = std::map<std::string, vb::Variant>{{"NTOn", vb::Variant(true)}};
    auto named = [&](const char* field, const std::string& name, bool sega = false) {
      std::map<std::string, vb::Variant> v = nintendo;
      v[field] = vb::Variant(name);
      if (sega) v["SegaOn"] = vb::Variant(true);
      return v;
    };
    publisher_ = Add("publisher", named("labelstudio_name", "Nintendo"), "publisher");
    sega_ = Add("publisher", named("labelstudio_name", "Sega", true), "publisher");
    developer_ = Add("developer", named("artist_name", "Rare"), "developer");
    genre_ = Add("genre", named("category", "Platform"), "genre");
    systype_ = Add("systype", {{"systype", vb::Variant(std::string("Cartridge"))}}, "systypeid");
    Add("systype", {{"systype", vb::Variant(std::string("Disc"))}}, "systypeid");
    supports_ = Add("supports", {{"Name", vb::Variant(std::string("Rumble"))}}, "supports");
    banjo_ = Game("Banjo", 2, publisher_, developer_, genre_);
    Game("Zelda", 2, publisher_, developer_, genre_);
    Game("Sonic", 4, sega_);
    Add("systypemedia", {{"systemnumber", vb::Variant(banjo_)}, {"systypeid", vb::Variant(systype_)}});
    Add("supportsmedia", {{"systemnumber", vb::Variant(banjo_)}, {"supports", vb::Variant(supports_)}});
  }
  void TearDown() override {
    if (window_) window_->Unload();
    tvn::testing::Pump();
    CloseGameQuickDisplay();
    tvn::testing::Pump();
    PL().Launcher = nullptr;
    launcher_.reset();
    GameCollectionTest::TearDown();
  }

  // The window as the launcher leaves it: shown, first activation done,
  // on the section last stored.
  PLMain_Form& Open(int section) {
    SetSetting("LPL", std::to_string(section));
    window_ = new PLMain_Form();
    PL().MainWindow = window_;
    window_->show();
    window_->Form_Activate();
    tvn::testing::Pump();
    return *window_;
  }

  // Works the modal window of type W that the next command shows, as soon
  // as it is the active modal window; a window left open afterwards is
  // closed and counts as a failure, so a test never hangs on it.
  template <class W>
  void WhenShown(std::function<void(W&)> work) {
    shown_ = false;
    // The poll keeps itself alive only through the timer that is about to
    // call it again: it holds a weak reference to itself, so once it stops
    // rescheduling nothing is left behind.
    auto poll = std::make_shared<std::function<void(int)>>();
    std::weak_ptr<std::function<void(int)>> self = poll;
    *poll = [this, work, self](int tries) {
      QWidget* modal = QApplication::activeModalWidget();
      W* w = qobject_cast<W*>(modal);
      if (!w) {
        if (tries < 500)
          if (auto again = self.lock()) QTimer::singleShot(10, [again, tries] { (*again)(tries + 1); });
        return;
      }
      shown_ = true;
      work(*w);
      if (QApplication::activeModalWidget() == w) {
        ADD_FAILURE() << "the modal window stayed open";
        w->close();
      }
    };
    QTimer::singleShot(0, [poll] { (*poll)(0); });
  }

  // An entry of an editor chosen through its chooser.
  static void Choose(tvn::LookupEditorForm& f, const std::string& name) {
    const int i = f.Select_Item_Combo->findText(QString::fromStdString(name));
    ASSERT_GE(i, 0) << name;
    f.Select_Item_Combo->setCurrentIndex(i);
    f.Select_Item_Combo_Click();
  }
  static void Rename(tvn::LookupEditorForm& f, const std::string& from, const std::string& to) {
    Choose(f, from);
    f.NameBox()->setText(QString::fromStdString(to));
    f.Toolbar1_ButtonClick(Btn::btnFile);
  }
  static void Delete(tvn::LookupEditorForm& f, const std::string& name) {
    Choose(f, name);
    PromptScript::Answer(vb::vbYes);
    f.Toolbar1_ButtonClick(Btn::btnDelete);
  }

  std::unique_ptr<tvn::Form> launcher_;
  tvn::FlagCheckBox* running_ = nullptr;
  QPointer<PLMain_Form> window_;
  bool shown_ = false;
  long publisher_ = 0, sega_ = 0, developer_ = 0, genre_ = 0, systype_ = 0, supports_ = 0, banjo_ = 0;
};

// ---------------------------------------------------------------- lookup editors

TEST_F(GameMenusTest, NameEditorsRenameAndDeleteShowInTheListsAndTheGameOnShow) {
  PLMain_Form& w = Open(2);
  ASSERT_EQ(Text(w.txtName), "Banjo");
  EXPECT_EQ(Text(w.cmbPublisher), "Nintendo");

  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), "Publisher Manager");
    EXPECT_TRUE(f.isModal());
    Rename(f, "Nintendo", "Nintendo Co.");
    f.Close_Category->click();
  });
  w.LSMenu->trigger();
  EXPECT_TRUE(shown_);
  // Only the entries flagged for Nintendo, the renamed one in its place.
  EXPECT_EQ(Items(w.cmbPublisher), (std::vector<std::string>{"Nintendo Co.", "Sega"}));
  EXPECT_EQ(Text(w.txtName), "Banjo");
  EXPECT_EQ(Text(w.cmbPublisher), "Nintendo Co.");

  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), "Developer Manager");
    Rename(f, "Rare", "Rare's Ltd [UK] 100%");
    f.Close_Category->click();
  });
  w.ArtistManagerMenu->trigger();
  EXPECT_EQ(Items(w.cmbDeveloper), (std::vector<std::string>{"Rare's Ltd [UK] 100%"}));
  EXPECT_EQ(Text(w.cmbDeveloper), "Rare's Ltd [UK] 100%");

  // A genre taken off the section's console leaves its list; the game keeps
  // its key, and the name it shows is the stored one.
  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), "Genre Manager");
    Choose(f, "Platform");
    f.Artist_UseWith[1]->setChecked(false);
    f.Artist_UseWith[3]->setChecked(true);
    f.Toolbar1_ButtonClick(Btn::btnFile);
    f.Close_Category->click();
  });
  w.CategoryMMenu->trigger();
  EXPECT_TRUE(Items(w.cmbGenre).empty());
  EXPECT_EQ(Count("genre where segaon and not nton"), 1);

  // A deleted publisher: the games hold no key of it, the one on show
  // shows none.
  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    Delete(f, "Nintendo Co.");
    f.Close_Category->click();
  });
  w.LSMenu->trigger();
  EXPECT_EQ(Items(w.cmbPublisher), (std::vector<std::string>{"Sega"}));
  EXPECT_EQ(Text(w.txtName), "Banjo");
  EXPECT_EQ(Text(w.cmbPublisher), "");
  EXPECT_EQ(Count("mediadata where publisher = " + std::to_string(publisher_)), 0);
  EXPECT_EQ(Count("mediadata where sectionnumber = 2"), 2);
}

TEST_F(GameMenusTest, LinkEditorsRefillTheirGridsAndTheGameShowsItsLinksAgain) {
  PLMain_Form& w = Open(2);
  ASSERT_EQ(GridNames(w.tGrid), (std::vector<std::string>{"Cartridge", "Disc"}));
  ASSERT_EQ(w.tGrid->CellCheckedAt(1, 1), forms::FlexGrid::flexChecked);

  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), "System Type Manager");
    Rename(f, "Cartridge", "Card");
    f.Toolbar1_ButtonClick(Btn::btnAdd);
    f.NameBox()->setText("Arcade board");
    f.Toolbar1_ButtonClick(Btn::btnFile);
    f.Close_Category->click();
  });
  w.menuSysType->trigger();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(GridNames(w.tGrid), (std::vector<std::string>{"Arcade board", "Card", "Disc"}));
  // The game on show has its link again, on the renamed entry's new row.
  EXPECT_EQ(w.tGrid->CellCheckedAt(2, 1), forms::FlexGrid::flexChecked);
  EXPECT_EQ(w.tGrid->CellCheckedAt(1, 1), forms::FlexGrid::flexUnchecked);
  EXPECT_EQ(w.tGrid->CellCheckedAt(3, 1), forms::FlexGrid::flexUnchecked);

  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), "Supports Manager");
    Delete(f, "Rumble");
    f.Close_Category->click();
  });
  w.menuSupports->trigger();
  // The grid keeps its heading row and one empty row; the link went too.
  EXPECT_EQ(w.sGrid->TextMatrix(0, 1).toStdString(), "Supports");
  for (const std::string& name : GridNames(w.sGrid)) EXPECT_EQ(name, "");
  EXPECT_EQ(Count("supportsmedia"), 0);
  EXPECT_EQ(Text(w.txtName), "Banjo");
}

TEST_F(GameMenusTest, AfterAnEditorAnEmptySectionShowsTheTitleListFromA) {
  PLMain_Form& w = Open(6);
  ASSERT_EQ(w.List_Combo->count(), 0);
  WhenShown<PLLookupEditor>([](PLLookupEditor& f) {
    f.Toolbar1_ButtonClick(Btn::btnAdd);
    f.NameBox()->setText("Arcade");
    f.Artist_UseWith[5]->setChecked(true);  // "Other"
    f.Toolbar1_ButtonClick(Btn::btnFile);
    f.Close_Category->click();
  });
  w.CategoryMMenu->trigger();
  EXPECT_EQ(Items(w.cmbGenre), (std::vector<std::string>{"Arcade"}));
  EXPECT_EQ(w.CurrentLetter, "A");
  EXPECT_EQ(w.ActiveLetterButton, 1);
  EXPECT_EQ(w.List_Combo->count(), 0);
  EXPECT_EQ(Text(w.txtName), "");
  EXPECT_FALSE(w.txtName->isEnabled());
  // Only Add is offered on an empty section.
  EXPECT_TRUE(w.Toolbar1Buttons[1]->isVisible());
  for (int i : {2, 3, 4, 5, 6}) EXPECT_FALSE(w.Toolbar1Buttons[size_t(i)]->isVisible()) << i;
}

// ---------------------------------------------------------------- collection manager

TEST_F(GameMenusTest, CollectionManagerClosesTheCollectionWhileShownAndShowsTheStoredSectionAfter) {
  PLMain_Form& w = Open(4);
  ASSERT_EQ(Text(w.txtName), "Sonic");
  w.SSListBar1_ItemClick("Nintendo");
  ASSERT_EQ(Text(w.txtName), "Banjo");
  // An open quick display follows the collection that the window opens.
  w.qdmenu->trigger();
  ASSERT_NE(GameQuickDisplayWindow(), nullptr);
  ASSERT_EQ(GameQuickDisplayWindow()->QDGrid->TextMatrix(1, 2), "Banjo");

  bool closedWhileShown = false;
  WhenShown<PLCollection_Form>([&](PLCollection_Form& f) {
    closedWhileShown = !PL().GameDB;
    EXPECT_EQ(f.windowTitle().toStdString(), "The Pellion - Collection Utility");
    PromptScript::AnswerText("Retro");
    f.CreateCB_Click();
    f.ExitCB->click();
  });
  w.CollectionMenu->trigger();
  EXPECT_TRUE(shown_);
  EXPECT_TRUE(closedWhileShown);
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(PLData().LastDB, "Retro.mdb");
  EXPECT_EQ(Setting("CurDB_PL"), "Retro.mdb");
  // The stored section (Sega), not the one shown before, of the new and
  // empty collection.
  EXPECT_EQ(int(PLData().SectionNumber), 4);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Pellion - Retro: Sega");
  ASSERT_NE(w.SSListBar1->currentItem(), nullptr);
  EXPECT_EQ(w.SSListBar1->currentItem()->text(0).toStdString(), "Sega");
  EXPECT_EQ(w.List_Combo->count(), 0);
  EXPECT_EQ(Text(w.txtName), "");
  EXPECT_TRUE(Items(w.cmbPublisher).empty());
  EXPECT_EQ(GridNames(w.tGrid), std::vector<std::string>{""});
  ASSERT_NE(GameQuickDisplayWindow(), nullptr);
  EXPECT_EQ(GameQuickDisplayWindow()->QDGrid->TextMatrix(1, 2), "");

  // Back to the first collection: its games and lists again.
  WhenShown<PLCollection_Form>([](PLCollection_Form& f) {
    const auto items = f.CB_List->findItems("My Collection", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    f.CB_List->setCurrentItem(items.first());
    f.OpenCB->click();
  });
  w.CollectionMenu->trigger();
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(w.windowTitle().toStdString(), "The Pellion - My Collection: Sega");
  EXPECT_EQ(Text(w.txtName), "Sonic");
  EXPECT_EQ(Items(w.cmbPublisher), (std::vector<std::string>{"Sega"}));
  EXPECT_EQ(GridNames(w.tGrid), (std::vector<std::string>{"Cartridge", "Disc"}));
  EXPECT_EQ(GameQuickDisplayWindow()->QDGrid->Rows(), 4);
}

// A listed collection whose file is damaged is refused in the manager; the
// window keeps the collection that was open, under its caption and in
// "CurDB_PL". When that very collection fails on reopening, the window goes
// on without one: nothing reads through it, and the manager stays reachable.
TEST_F(GameMenusTest, ADamagedCollectionLeavesTheWindowOnItsOwnOrWithoutOne) {
  PLMain_Form& w = Open(2);
  const QString title = w.windowTitle();
  SetSetting("CurDB_PL", "MyGames.mdb");
  std::ofstream(InHome("Damaged.mdb")) << std::string(4096, 'x');
  {
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("admin.sys"));
    admin->Execute("insert into plcollections (dbname, plCollection) values ('Damaged.mdb', 'Damaged')");
    admin->Close();
  }
  WhenShown<PLCollection_Form>([](PLCollection_Form& f) {
    const auto items = f.CB_List->findItems("Damaged", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    f.CB_List->setCurrentItem(items.first());
    f.OpenCB->click();
    f.ExitCB->click();
  });
  w.CollectionMenu->trigger();
  ASSERT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_EQ(PromptScript::Texts()[0].rfind("The game collection file\n" + InHome("Damaged.mdb") + "\n", 0), 0u);
  EXPECT_EQ(w.windowTitle(), title);
  EXPECT_EQ(Setting("CurDB_PL"), "MyGames.mdb");
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(Text(w.txtName), "Banjo");

  WhenShown<PLCollection_Form>([&](PLCollection_Form& f) {
    std::ofstream(InHome("MyGames.mdb"), std::ios::trunc) << std::string(4096, 'y');
    f.ExitCB->click();
  });
  w.CollectionMenu->trigger();
  EXPECT_FALSE(PL().GameDB);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Pellion");
  EXPECT_FALSE(w.List_Combo->isEnabled());
  EXPECT_FALSE(w.qdmenu->isEnabled());
  EXPECT_FALSE(w.menuSysType->isEnabled());
  EXPECT_TRUE(w.CollectionMenu->isEnabled());
  EXPECT_TRUE(w.isVisible());
}

// ---------------------------------------------------------------- quick display

TEST_F(GameMenusTest, QuickDisplayDoubleClickSwitchesSectionAndLoadsTheGame) {
  PLMain_Form& w = Open(2);
  w.qdmenu->trigger();
  PLQDForm* qd = GameQuickDisplayWindow();
  ASSERT_NE(qd, nullptr);
  EXPECT_TRUE(qd->isVisible());
  EXPECT_FALSE(qd->isModal());
  EXPECT_TRUE(PLData().QDOpen);
  auto rowOf = [qd](const std::string& name) {
    for (int r = 1; r < qd->QDGrid->Rows(); ++r)
      if (qd->QDGrid->TextMatrix(r, 2).toStdString() == name) return r;
    return -1;
  };
  ASSERT_GT(rowOf("Sonic"), 0);
  qd->QDGrid->SetRow(rowOf("Sonic"));
  qd->OpenFromQuickDisplay();
  EXPECT_EQ(int(PLData().SectionNumber), 4);
  EXPECT_EQ(w.windowTitle().toStdString(), "The Pellion - My Collection: Sega");
  ASSERT_NE(w.SSListBar1->currentItem(), nullptr);
  EXPECT_EQ(w.SSListBar1->currentItem()->text(0).toStdString(), "Sega");
  EXPECT_EQ(Text(w.txtName), "Sonic");
  EXPECT_EQ(Text(w.cmbPublisher), "Sega");
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "Sonic");

  // The window's unload closes the quick display with it.
  w.Exit_Menu->trigger();
  tvn::testing::Pump();
  EXPECT_EQ(GameQuickDisplayWindow(), nullptr);
  EXPECT_FALSE(PLData().QDOpen);
  EXPECT_EQ(running_->Value(), 0);
}

TEST_F(GameMenusTest, QuickDisplayAsksBeforeDroppingAGameBeingAdded) {
  PLMain_Form& w = Open(2);
  w.qdmenu->trigger();
  PLQDForm* qd = GameQuickDisplayWindow();
  ASSERT_NE(qd, nullptr);
  int zelda = -1;
  for (int r = 1; r < qd->QDGrid->Rows(); ++r)
    if (qd->QDGrid->TextMatrix(r, 2) == "Zelda") zelda = r;
  ASSERT_GT(zelda, 0);

  w.Toolbar1_ButtonClick(1);
  w.txtName->setText("Mario");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbNo);
  qd->QDGrid->SetRow(zelda);
  qd->OpenFromQuickDisplay();
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_NE(PromptScript::Records()[0].text.find("\"Zelda\""), std::string::npos);
  // No: the game being typed stays as it is.
  EXPECT_TRUE(w.AddMode);
  EXPECT_EQ(Text(w.txtName), "Mario");

  PromptScript::Answer(vb::vbYes);
  qd->OpenFromQuickDisplay();
  EXPECT_FALSE(w.AddMode);
  EXPECT_EQ(Text(w.txtName), "Zelda");
  EXPECT_TRUE(w.UtilitiesMenu->isEnabled());
  EXPECT_EQ(Count("mediadata where name = 'Mario'"), 0);
}

// ---------------------------------------------------------------- reports and the add state

TEST_F(GameMenusTest, ReportMenuAndToolbarButtonOpenTheGameWizard) {
  PLMain_Form& w = Open(2);
  EXPECT_EQ(w.Toolbar1Buttons[8]->text().toStdString(), "Reports");
  for (QAction* command : {w.ReportMenu, w.Toolbar1Buttons[8]}) {
    SCOPED_TRACE(command->text().toStdString());
    std::string caption;
    WhenShown<frmWizard>([&](frmWizard& f) {
      caption = f.windowTitle().toStdString();
      EXPECT_TRUE(f.isModal());
      f.C_Button[1]->click();  // Cancel
    });
    command->trigger();
    EXPECT_TRUE(shown_);
    EXPECT_EQ(caption, "Pellion Report Wizard");
  }
  // The window is as it was.
  EXPECT_EQ(Text(w.txtName), "Banjo");
  EXPECT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
}

TEST_F(GameMenusTest, AddingAGameSwitchesOffTheMenusThatWouldLeaveIt) {
  PLMain_Form& w = Open(2);
  auto state = [&w] {
    return std::vector<bool>{w.SSListBar1->isEnabled(),         w.Toolbar2->isEnabled(),
                             w.List_Combo->isEnabled(),         w.Toolbar1Buttons[8]->isVisible(),
                             w.UtilitiesMenu->menuAction()->isEnabled(), w.Help_Menu->menuAction()->isEnabled()};
  };
  const std::vector<bool> on(6, true), off(6, false);
  EXPECT_EQ(state(), on);

  w.Toolbar1_ButtonClick(1);
  EXPECT_EQ(state(), off);
  // The File and View menus stay: exit, the options and the quick display.
  EXPECT_TRUE(w.File_Menu->menuAction()->isEnabled());
  EXPECT_TRUE(w.vmenu->menuAction()->isEnabled());
  EXPECT_TRUE(w.qdmenu->isEnabled());
  w.Toolbar1_ButtonClick(2);
  EXPECT_EQ(state(), on);

  // Filing the new game ends the add state too.
  w.Toolbar1_ButtonClick(1);
  w.txtName->setText("Mario");
  w.Toolbar1_ButtonClick(3);
  EXPECT_FALSE(w.AddMode);
  EXPECT_EQ(state(), on);
  EXPECT_EQ(Count("mediadata where name = 'Mario' and sectionnumber = 2"), 1);
}

}  // namespace
}  // namespace pl::testing

// The game window opened from the launcher on a screen with a window
// manager: where it opens again after closing, the launcher's pointer after
// its first activation, what its grids and title list show after a load,
// and a lookup editor shown modally over it.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/tests/LaunchFixture.h"
#include "desktop/DesktopSupport.h"
#include "games/PLLookupEditors.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "games/avplclass.h"
#include "games/tests/GameRows.h"
#include "platform/dao/Dao.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"

namespace {

using pl::testing::AddGameRow;
using tvn::MainForm;

// The grid row shown in the top line of the grid's view.
int VisibleTopRow(const forms::FlexGrid& grid) { return grid.rowAt(0) + grid.FixedRows(); }

std::string PLMainText(const QWidget* w) { return pl::PLMain_Form::TextOf(w); }

class GameWindowDesktop : public tvn::testing::LaunchTest {
 protected:
  static void SetUpTestSuite() { tvndesk::PlatformForDisplay(); }

  void SetUp() override {
    LaunchTest::SetUp();
    if (!tvndesk::HaveDisplay()) GTEST_SKIP() << "no X display: run through scripts/test.sh";
    tvn::App().AppWorkspace = &dao::DBEngine::Workspaces(0);
    tvn::RegisterMediaCatalogue({});
    pl::RegisterGameCatalogue();
    tvn::schema::EnsureTemplates(Home());
    vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
    vb::FileCopy(Home() + "/pl33e.mdb", Home() + "/MyGames.mdb");
  }
  void TearDown() override {
    if (pl::PLMain_Form* w = pl::PL().MainWindow) w->Unload();
    tvn::testing::Pump();
    tvn::RegisterMediaCatalogue({});
    tvn::RegisterGameCatalogue({});
    LaunchTest::TearDown();
  }

  // Puts rows into the game collection before the window opens it.
  void Fill(const std::function<void(dao::Database&)>& rows) {
    dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase(Home() + "/MyGames.mdb");
    rows(*db);
    db->Close();
  }
  MainForm& Launcher() {
    MainForm& launcher = tvn::win::MainForm.Get();
    if (!launcher.isVisible()) {
      launcher.Show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&launcher, tvndesk::kPatience));
    }
    return launcher;
  }
  // Opens the game window from the launcher and waits until it stands still.
  pl::PLMain_Form& OpenFromLauncher() {
    Launcher().btnOpenPellion->click();
    pl::PLMain_Form* w = pl::PL().MainWindow;
    EXPECT_NE(w, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w, tvndesk::kPatience));
    EXPECT_TRUE(tvndesk::Settled(*w));
    return *w;
  }
  static void CloseGameWindow(pl::PLMain_Form& w) {
    w.close();
    EXPECT_TRUE(QTest::qWaitFor([] { return pl::PL().MainWindow == nullptr; }, tvndesk::kPatience));
    tvn::testing::Pump();
  }
};

TEST_F(GameWindowDesktop, WindowReopensWhereItWasClosed) {
  SetSetting("PL_L", "3000");  // 200, 100 pixels
  SetSetting("PL_T", "1500");
  QRect first;
  {
    pl::PLMain_Form& w = OpenFromLauncher();
    // The stored place is that of the client area, below the frame.
    EXPECT_EQ(w.geometry().topLeft(), QPoint(200, 100));
    first = tvndesk::Frame(w);
    CloseGameWindow(w);
  }
  EXPECT_EQ(Setting("PL_L"), "3000");
  EXPECT_EQ(Setting("PL_T"), "1500");
  // Opening and closing again and again neither creeps nor jumps.
  for (int round = 0; round < 3; ++round) {
    pl::PLMain_Form& w = OpenFromLauncher();
    EXPECT_EQ(tvndesk::Frame(w).topLeft(), first.topLeft()) << "round " << round;
    CloseGameWindow(w);
  }
  EXPECT_EQ(Setting("PL_L"), "3000");
  EXPECT_EQ(Setting("PL_T"), "1500");

  // Moved by the user, it opens where it was left.
  pl::PLMain_Form& w = OpenFromLauncher();
  tvndesk::MoveTowardMiddle(w);
  ASSERT_TRUE(tvndesk::Settled(w));
  const QPoint moved = tvndesk::Frame(w).topLeft();
  CloseGameWindow(w);
  pl::PLMain_Form& again = OpenFromLauncher();
  EXPECT_EQ(tvndesk::Frame(again).topLeft(), moved);
}

TEST_F(GameWindowDesktop, FirstActivationGivesTheLauncherItsPointerBackAndLaterOnesKeepTheGameBeingAdded) {
  Fill([](dao::Database& db) {
    AddGameRow(db, "mediadata", {{"name", vb::Variant(std::string("Sonic"))}, {"sectionnumber", dao::Variant::Byte(4)}},
           "");
  });
  SetSetting("LPL", "4");
  MainForm& launcher = Launcher();
  launcher.btnOpenPellion->click();
  // The launcher waits with the hourglass until the game window is up.
  EXPECT_EQ(launcher.MousePointer(), tvn::vbHourglass);
  EXPECT_EQ(launcher.PLRunning->Value(), 1);
  pl::PLMain_Form* w = pl::PL().MainWindow;
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(tvndesk::Active(*w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return launcher.MousePointer() == tvn::vbDefault; }, tvndesk::kPatience));
  EXPECT_NE(launcher.cursor().shape(), Qt::WaitCursor);
  // The first activation chose the section stored last.
  EXPECT_EQ(w->windowTitle().toStdString(), "The Pellion - My Collection: Sega");
  EXPECT_ON_SCREEN(w->txtName);
  EXPECT_EQ(PLMainText(w->txtName), "Sonic");

  // A game being typed survives the window losing and regaining the focus.
  w->Toolbar1_ButtonClick(1);
  w->txtName->setText("Streets of Rage");
  launcher.activateWindow();
  ASSERT_TRUE(tvndesk::Active(launcher));
  w->activateWindow();
  ASSERT_TRUE(tvndesk::Active(*w));
  tvndesk::Drain();  // the activation's queued work
  EXPECT_TRUE(w->AddMode);
  EXPECT_EQ(PLMainText(w->txtName), "Streets of Rage");
  EXPECT_EQ(launcher.MousePointer(), tvn::vbDefault);
}

TEST_F(GameWindowDesktop, GridsAndTitleListShowTheLoadedGameFromTheirFirstRows) {
  Fill([](dao::Database& db) {
    std::vector<long> types, features;
    for (int i = 1; i <= 40; ++i) {
      const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
      types.push_back(AddGameRow(db, "systype", {{"systype", vb::Variant("Type " + n)}}, "systypeid"));
      features.push_back(AddGameRow(db, "supports", {{"Name", vb::Variant("Feature " + n)}}, "supports"));
    }
    for (const char* name : {"Banjo", "Blast Corps", "Bomberman", "Diddy Kong"}) {
      const long game = AddGameRow(
          db, "mediadata", {{"name", vb::Variant(std::string(name))}, {"sectionnumber", dao::Variant::Byte(2)}},
          "systemnumber");
      // Links far down both lists.
      AddGameRow(db, "systypemedia", {{"systemnumber", vb::Variant(game)}, {"systypeid", vb::Variant(types[35])}}, "");
      AddGameRow(db, "supportsmedia", {{"systemnumber", vb::Variant(game)}, {"supports", vb::Variant(features[38])}},
             "");
    }
  });
  SetSetting("LPL", "2");
  pl::PLMain_Form& w = OpenFromLauncher();
  ASSERT_TRUE(QTest::qWaitFor([&] { return PLMainText(w.txtName) == "Banjo"; }, tvndesk::kPatience));
  forms::FlexGrid& t = *w.tGrid;
  forms::FlexGrid& s = *w.sGrid;
  // A load puts the editor back on its first tab; the user opens "Page 2".
  auto showPage2 = [&] {
    w.SSTab1->setCurrentIndex(1);
    return QTest::qWaitFor(
        [&] {
          return tvn::test::OnScreen(&t) && tvn::test::OnScreen(&s) && t.viewport()->height() > 0 &&
                 s.viewport()->height() > 0;
        },
        tvndesk::kPatience);
  };
  ASSERT_TRUE(showPage2());
  // The lists are longer than the grids show.
  ASSERT_LT(t.rowAt(t.viewport()->height() - 1), 39);
  EXPECT_EQ(VisibleTopRow(t), 1);
  EXPECT_EQ(VisibleTopRow(s), 1);

  // Scrolled down by the user, then another game chosen in the title list.
  t.SetTopRow(30);
  s.SetTopRow(30);
  tvndesk::Drain();
  ASSERT_GT(VisibleTopRow(t), 1);
  const int blast = w.List_Combo->findText("Blast Corps");
  ASSERT_GE(blast, 0);
  w.List_Combo->setCurrentIndex(blast);
  w.List_Combo->activated(blast);
  tvndesk::Drain();
  ASSERT_TRUE(showPage2());
  EXPECT_EQ(PLMainText(w.txtName), "Blast Corps");
  EXPECT_ON_SCREEN(w.List_Combo);
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "Blast Corps");
  EXPECT_EQ(w.List_Combo->count(), 3);  // the titles under "B"
  EXPECT_EQ(VisibleTopRow(t), 1);
  EXPECT_EQ(VisibleTopRow(s), 1);
  EXPECT_EQ(t.CellCheckedAt(36, 1), forms::FlexGrid::flexChecked);
  EXPECT_EQ(s.CellCheckedAt(39, 1), forms::FlexGrid::flexChecked);

  // The next game from the toolbar: the same.
  t.SetTopRow(30);
  w.Toolbar1_ButtonClick(6);
  tvndesk::Drain();
  ASSERT_TRUE(showPage2());
  EXPECT_EQ(PLMainText(w.txtName), "Bomberman");
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "Bomberman");
  EXPECT_EQ(VisibleTopRow(t), 1);
}

TEST_F(GameWindowDesktop, LookupEditorShowsModallyOverTheWindow) {
  pl::PLMain_Form& w = OpenFromLauncher();
  ASSERT_TRUE(tvndesk::Active(w));
  bool ran = false;
  bool overWindow = false, editorActive = false, windowInactive = false;
  tvndesk::WhenModalActive<pl::PLLookupEditor>([&](pl::PLLookupEditor* editor) {
    ran = true;
    editorActive = true;
    overWindow = editor->windowHandle() && editor->windowHandle()->transientParent() == w.windowHandle();
    windowInactive = !w.isActiveWindow();
    QTest::mouseClick(editor->Close_Category, Qt::LeftButton, {}, editor->Close_Category->rect().center());
  });
  w.LSMenu->trigger();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(editorActive);
  EXPECT_TRUE(overWindow);
  EXPECT_TRUE(windowInactive);
  // Closed, it hands the focus back to the game window.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(tvndesk::Active(w));
}

}  // namespace

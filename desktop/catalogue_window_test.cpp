// The catalogue window on a screen with a window manager: where it opens
// again after closing, what its first activation does, a message box over
// it, and what the title grid shows.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/AppState.h"
#include "desktop/DesktopCatalogueTest.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace {

using CatalogueDesktop = tvndesk::CatalogueDesktopTest;

// The grid row shown in the top line of the grid's view.
int VisibleTopRow(const forms::FlexGrid& grid) { return grid.rowAt(0) + grid.FixedRows(); }

}  // namespace

TEST_F(CatalogueDesktop, WindowReopensWhereItWasClosed) {
  // A place where the whole window fits on the screen: a window that would
  // stand past the screen's edge is the window manager's to move, and it
  // may or may not do so depending on when it learns the window's size.
  QPoint place;
  {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    const QRect frame = tvndesk::Frame(w);
    const QRect screen = w.screen()->availableGeometry();
    ASSERT_LE(frame.height(), screen.height());
    const QPoint inFrame = w.geometry().topLeft() - frame.topLeft();
    place = QPoint(200, screen.top() + (screen.height() - frame.height()) / 2) + inFrame;
    w.close();
  }
  SetSetting("TV_L", std::to_string(place.x() * 15));  // stored in twips
  SetSetting("TV_T", std::to_string(place.y() * 15));
  QRect first;
  {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    first = tvndesk::Frame(w);
    // The stored place is that of the client area, below the frame.
    EXPECT_EQ(w.geometry().topLeft(), place);
    w.close();
  }
  // Opening and closing again and again neither creeps nor jumps.
  for (int round = 0; round < 3; ++round) {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    EXPECT_EQ(tvndesk::Frame(w).topLeft(), first.topLeft()) << "round " << round;
    w.close();
  }
  EXPECT_EQ(Setting("TV_L"), std::to_string(place.x() * 15));
  EXPECT_EQ(Setting("TV_T"), std::to_string(place.y() * 15));
}

TEST_F(CatalogueDesktop, WindowMovedByTheUserReopensThere) {
  QPoint moved;
  {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    tvndesk::MoveTowardMiddle(w);
    ASSERT_TRUE(tvndesk::Settled(w));
    moved = tvndesk::Frame(w).topLeft();
    w.close();
  }
  tvn::NewMain_Form again;
  ASSERT_TRUE(tvndesk::ShowSettled(again));
  EXPECT_EQ(tvndesk::Frame(again).topLeft(), moved);
}

TEST_F(CatalogueDesktop, TitleGridShowsItsFirstRowAfterALoadAndAfterDeleteTitle) {
  cattest::Fields titles;
  for (int i = 1; i <= 40; ++i) titles["title" + std::to_string(i)] = vb::Variant("Track " + std::to_string(i));
  AddItem(2, "Full", titles);
  AddItem(2, "Other", titles);
  auto& w = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(w));
  w.ItemClickProcess(2);
  forms::FlexGrid& grid = *w.TGrid;
  // A load puts the editor back on "Main"; the user opens "Titles" to look.
  auto showTitles = [&] {
    w.SSTab1->setCurrentIndex(2);
    return QTest::qWaitFor([&] { return tvn::test::OnScreen(&grid) && grid.viewport()->height() > 0; },
                           tvndesk::kPatience);
  };
  ASSERT_TRUE(showTitles());

  w.CS_Load_Data("Other");
  tvndesk::Drain();
  ASSERT_TRUE(showTitles());
  EXPECT_EQ(grid.TextMatrix(1, 1), "Track 1");
  EXPECT_EQ(VisibleTopRow(grid), 1);
  EXPECT_EQ(grid.TopRow(), 1);

  grid.SetRow(5);
  w.DeleteButton_Click();
  tvndesk::Drain();
  ASSERT_TRUE(showTitles());
  EXPECT_EQ(grid.TextMatrix(5, 1), "Track 6");
  EXPECT_EQ(VisibleTopRow(grid), 1);
  EXPECT_EQ(grid.TopRow(), 1);
}

// The first activation opens the section last used on its first record,
// shows the first-run help and the pending tip once; activating the
// window again later repeats none of it and keeps the section chosen since.
TEST_F(CatalogueDesktop, FirstActivationOpensTheLastSectionOnceAndLaterActivationsKeepThePlace) {
  AddItem(2, "Bravo");
  AddItem(2, "Alpha");
  AddItem(1, "Tape");
  SetSetting("LG", "2");
  SetSetting("NF", "0");
  tvn::App().TipNum = 3;
  auto& w = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(w));
  ASSERT_TRUE(tvndesk::Active(w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.CS_Name_Text->text() == "Alpha"; }, tvndesk::kPatience));
  EXPECT_EQ(int(tvn::AVData()->SectionNumber()), 2);
  EXPECT_ON_SCREEN(w.CS_Name_Text);
  EXPECT_ON_SCREEN(w.List_Combo);
  EXPECT_EQ(w.List_Combo->currentText(), "Alpha");
  EXPECT_EQ(Face('A'), 1);
  EXPECT_EQ(helpTopics, std::vector<int>{2});
  EXPECT_EQ(Setting("NF"), "2");
  EXPECT_EQ(tipsShown, 1);

  // The user picks another section, another window takes the focus, and
  // the catalogue window is activated again.
  w.ItemClickProcess(1);
  ASSERT_EQ(w.CS_Name_Text->text(), "Tape");
  QWidget other;
  other.setWindowTitle("Another window");
  other.resize(300, 200);
  ASSERT_TRUE(tvndesk::ShowSettled(other));
  other.activateWindow();
  ASSERT_TRUE(tvndesk::Active(other));
  w.activateWindow();
  ASSERT_TRUE(tvndesk::Active(w));
  tvndesk::Drain();  // the activation's queued work
  EXPECT_EQ(int(tvn::AVData()->SectionNumber()), 1);
  EXPECT_EQ(w.CS_Name_Text->text(), "Tape");
  EXPECT_EQ(helpTopics, std::vector<int>{2});
  EXPECT_EQ(tipsShown, 1);
}

// A message box raised by the window stands over it, modal: the window
// cannot be activated meanwhile, and after the answer it has the focus back
// with what was typed.
TEST_F(CatalogueDesktop, AMessageBoxStandsOverTheWindowAndGivesTheFocusBack) {
  AddItem(2, "Alpha");
  SetSetting("LG", "2");
  vb::PromptScript::Uninstall();  // the box is shown for real
  auto& w = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.CS_Name_Text->text() == "Alpha"; }, tvndesk::kPatience));
  ASSERT_TRUE(tvndesk::Active(w));
  w.CS_Date_Text->setText("Dec 31");

  bool looked = false;
  QString text;
  bool parentIsWindow = false, overWindow = false, windowActive = true, modal = false;
  tvndesk::WhenModalActive<QMessageBox>([&](QMessageBox* box) {
    looked = true;
    text = box->text();
    modal = box->isModal();
    parentIsWindow = box->parentWidget() == &w;
    overWindow = tvndesk::Frame(w).contains(tvndesk::Frame(*box).center());
    // Trying to bring the window forward leaves the box on top and active.
    // Nothing to wait for when all is well: the grace only bounds how long
    // a wrong activation is given to show.
    w.activateWindow();
    windowActive = QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }, 1000);
    box->button(QMessageBox::Ok)->click();
  });
  w.Toolbar1_ButtonClick(3);  // File: the date is refused
  ASSERT_TRUE(looked);
  EXPECT_NE(text.indexOf("is not a whole date"), -1) << text.toStdString();
  EXPECT_TRUE(modal);
  EXPECT_TRUE(parentIsWindow);
  EXPECT_TRUE(overWindow);
  EXPECT_FALSE(windowActive);
  ASSERT_TRUE(tvndesk::Active(w));
  EXPECT_EQ(QApplication::focusWidget(), w.CS_Date_Text);
  EXPECT_ON_SCREEN(w.CS_Date_Text);
  EXPECT_EQ(w.CS_Date_Text->text(), "Dec 31");
  EXPECT_EQ(w.CS_Name_Text->text(), "Alpha");
}

// The selection chooser opens over the window that asked for it, under a
// title naming what is chosen, and a pick in it selects that entry.
TEST_F(CatalogueDesktop, TheSelectionChooserOpensOverTheWindow) {
  for (const char* name : {"Zappa, Frank", "\xC3\x89" "dith Piaf"}) {
    auto rs = tvn::App().CollectionDB->OpenRecordset("artists");
    rs->AddNew();
    rs->SetField("artist_name", vb::Variant(name));
    rs->SetField("cd", vb::Variant(true));
    rs->Update();
    rs->Close();
  }
  AddItem(2, "Hot Rats", {{"artist1", vb::Variant("Zappa, Frank")}});
  AddItem(2, "La Vie en rose", {{"artist1", vb::Variant("\xC3\x89" "dith Piaf")}});
  SetSetting("LG", "2");
  auto& w = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.CS_Name_Text->text().isEmpty(); }, tvndesk::kPatience));
  ASSERT_TRUE(tvndesk::Active(w));

  bool looked = false, overWindow = false, listShown = false;
  QString title, first;
  tvndesk::WhenModalActive([](QWidget* m) { return m->objectName() == "SortForm"; },
                           [&](QWidget* chooser) {
                             looked = true;
                             ASSERT_TRUE(tvndesk::Settled(*chooser));
                             title = chooser->windowTitle();
                             const QRect over = tvndesk::Frame(w), frame = tvndesk::Frame(*chooser);
                             overWindow = over.contains(frame) &&
                                          (frame.center() - over.center()).manhattanLength() < 80;
                             auto* list = chooser->findChild<QComboBox*>("Choice_List");
                             listShown = ::tvn::test::OnScreen(list);
                             first = list->itemText(0);
                             list->setCurrentIndex(1);
                             emit list->activated(1);
                           });
  w.Artist_Select_Menu->trigger();
  ASSERT_TRUE(looked);
  EXPECT_EQ(title.toStdString(), "Select an Artist");
  EXPECT_TRUE(overWindow);
  EXPECT_TRUE(listShown);
  EXPECT_EQ(first.toStdString(), "\xC3\x89" "dith Piaf");
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.CS_Name_Text->text() == "Hot Rats"; }, tvndesk::kPatience));
}

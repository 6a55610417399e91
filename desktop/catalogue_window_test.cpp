// The catalogue window on a screen with a window manager: where it opens
// again after closing, and what the title grid shows.
#include <QTabWidget>
#include <QTest>

#include "desktop/DesktopCatalogueTest.h"
#include "platform/forms/FlexGrid.h"

namespace {

using CatalogueDesktop = tvndesk::CatalogueDesktopTest;

// The grid row shown in the top line of the grid's view.
int VisibleTopRow(const forms::FlexGrid& grid) { return grid.rowAt(0) + grid.FixedRows(); }

}  // namespace

TEST_F(CatalogueDesktop, WindowReopensWhereItWasClosed) {
  SetSetting("TV_L", "3000");  // 200, 100 pixels
  SetSetting("TV_T", "1500");
  QRect first;
  {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    first = w.frameGeometry();
    // The stored place is that of the client area, below the frame.
    EXPECT_EQ(w.geometry().topLeft(), QPoint(200, 100));
    w.close();
  }
  // Opening and closing again and again neither creeps nor jumps.
  for (int round = 0; round < 3; ++round) {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    EXPECT_EQ(w.frameGeometry().topLeft(), first.topLeft()) << "round " << round;
    w.close();
  }
  EXPECT_EQ(Setting("TV_L"), "3000");
  EXPECT_EQ(Setting("TV_T"), "1500");
}

TEST_F(CatalogueDesktop, WindowMovedByTheUserReopensThere) {
  QPoint moved;
  {
    tvn::NewMain_Form w;
    ASSERT_TRUE(tvndesk::ShowSettled(w));
    w.move(w.frameGeometry().topLeft() + QPoint(37, 23));
    ASSERT_TRUE(tvndesk::Settled(w));
    moved = w.frameGeometry().topLeft();
    w.close();
  }
  tvn::NewMain_Form again;
  ASSERT_TRUE(tvndesk::ShowSettled(again));
  EXPECT_EQ(again.frameGeometry().topLeft(), moved);
}

TEST_F(CatalogueDesktop, TitleGridShowsItsFirstRowAfterALoadAndAfterDeleteTitle) {
  cattest::Fields titles;
  for (int i = 1; i <= 40; ++i) titles["title" + std::to_string(i)] = vb::Variant("Track " + std::to_string(i));
  AddItem(2, "Full", titles);
  AddItem(2, "Other", titles);
  auto& w = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(w));
  w.ItemClickProcess(2);
  w.SSTab1->setCurrentIndex(2);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  forms::FlexGrid& grid = *w.TGrid;
  ASSERT_TRUE(QTest::qWaitFor([&] { return grid.isVisible() && grid.viewport()->height() > 0; }));

  w.CS_Load_Data("Other");
  QTest::qWait(0);
  EXPECT_EQ(grid.TextMatrix(1, 1), "Track 1");
  EXPECT_EQ(VisibleTopRow(grid), 1);
  EXPECT_EQ(grid.TopRow(), 1);

  grid.SetRow(5);
  w.DeleteButton_Click();
  QTest::qWait(0);
  EXPECT_EQ(grid.TextMatrix(5, 1), "Track 6");
  EXPECT_EQ(VisibleTopRow(grid), 1);
  EXPECT_EQ(grid.TopRow(), 1);
}

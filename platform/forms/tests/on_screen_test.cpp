#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include "platform/forms/tests/OnScreen.h"
#include "platform/forms/tests/TestApp.h"

namespace {

// The helper must fail on each way a person would not see a control, or the
// window tests that lean on it prove nothing.
TEST(OnScreen, FailsForEveryWayAControlIsNotSeen) {
  TestApp();
  QWidget window;
  window.resize(300, 200);
  auto* tabs = new QTabWidget(&window);
  tabs->setGeometry(0, 0, 300, 150);
  auto* first = new QWidget;
  auto* second = new QWidget;
  tabs->addTab(first, "First");
  tabs->addTab(second, "Second");
  auto* onFirst = new QLabel("Shown", first);
  onFirst->adjustSize();
  auto* onSecond = new QLabel("Hidden tab", second);
  onSecond->adjustSize();
  auto* cut = new QLabel("A caption much too long for its box", &window);
  cut->setGeometry(0, 160, 40, 20);
  auto* outside = new QPushButton("Off", &window);
  outside->setGeometry(280, 190, 60, 30);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  EXPECT_ON_SCREEN(onFirst);
  EXPECT_FALSE(tvn::test::OnScreen(onSecond));  // its tab is not the current one
  tabs->setCurrentIndex(1);
  EXPECT_ON_SCREEN(onSecond);
  EXPECT_FALSE(tvn::test::OnScreen(onFirst));
  EXPECT_FALSE(tvn::test::OnScreen(cut));      // caption cut
  EXPECT_FALSE(tvn::test::OnScreen(outside));  // partly outside its window
  cut->adjustSize();
  EXPECT_ON_SCREEN(cut);
}

TEST(OnScreen, ScrolledAwayAndOverlappingControlsAreCaught) {
  TestApp();
  QScrollArea area;
  area.resize(200, 100);
  auto* content = new QWidget;
  content->resize(180, 600);
  auto* top = new QCheckBox("Top", content);
  top->setGeometry(0, 0, 150, 24);
  auto* low = new QCheckBox("Low", content);
  low->setGeometry(0, 500, 150, 24);
  auto* over = new QLabel("Over the box", content);
  over->setGeometry(20, 505, 120, 20);
  area.setWidget(content);
  area.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
  EXPECT_ON_SCREEN(top);
  EXPECT_FALSE(tvn::test::OnScreen(low));  // below the viewport until scrolled
  EXPECT_FALSE(tvn::test::NothingOverlaps(content));
  over->move(20, 540);
  EXPECT_TRUE(tvn::test::NothingOverlaps(content));

  QTableView view;
  QStandardItemModel model(100, 1);
  view.setModel(&model);
  view.resize(200, 150);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  EXPECT_TRUE(tvn::test::RowVisible(&view, 0));
  EXPECT_FALSE(tvn::test::RowVisible(&view, 80));
  view.scrollTo(model.index(80, 0));
  EXPECT_TRUE(tvn::test::RowVisible(&view, 80));
  EXPECT_FALSE(tvn::test::RowVisible(&view, 0));
}

}  // namespace

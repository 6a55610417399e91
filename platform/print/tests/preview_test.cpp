// The preview widget: the page shown, its buttons and its zoom.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

#include "platform/print/PreviewWidget.h"
#include "platform/print/Printer.h"

namespace {

using print::PreviewWidget;
using print::Printer;

void ThreePages(Printer& p) {
  p.StartDoc();
  p.Text("one");
  p.NewPage();
  p.Text("two");
  p.NewPage();
  p.Text("three");
  p.EndDoc();
}

TEST(Preview, TurnsPagesAndShowsWhichPageIsShown) {
  Printer p;
  PreviewWidget w;
  w.SetPrinter(&p);
  w.resize(600, 700);
  w.show();
  auto* label = w.findChild<QLabel*>("PageLabel");
  auto* next = w.findChild<QToolButton*>("NextPageButton");
  auto* previous = w.findChild<QToolButton*>("PreviousPageButton");
  auto* last = w.findChild<QToolButton*>("LastPageButton");
  ASSERT_TRUE(label && next && previous && last);
  EXPECT_EQ(label->text(), "");
  EXPECT_FALSE(next->isEnabled());

  ThreePages(p);
  EXPECT_EQ(w.PageShown(), 1);
  EXPECT_EQ(p.PreviewPage(), 1);
  EXPECT_EQ(label->text(), "Page 1 of 3");
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());

  next->click();
  EXPECT_EQ(p.PreviewPage(), 2);
  EXPECT_EQ(label->text(), "Page 2 of 3");
  EXPECT_TRUE(previous->isEnabled());
  last->click();
  EXPECT_EQ(p.PreviewPage(), 3);
  EXPECT_FALSE(next->isEnabled());
  w.NextPage();  // past the end: stays
  EXPECT_EQ(p.PreviewPage(), 3);
  p.SetPreviewPage(0);  // before the start: the first page
  EXPECT_EQ(w.PageShown(), 1);

  p.KillDoc();
  EXPECT_EQ(w.PageShown(), 0);
  EXPECT_EQ(label->text(), "");
}

TEST(Preview, ZoomToFitShowsTheWholePageAndFollowsTheSize) {
  Printer p;
  ThreePages(p);
  PreviewWidget w;
  w.SetPrinter(&p);
  w.resize(500, 700);
  w.show();
  auto* view = w.findChild<QWidget*>("PageView");
  auto* scroll = w.findChild<QScrollArea*>("PageScroll");
  ASSERT_TRUE(view && scroll);
  EXPECT_TRUE(w.FitsPage());
  EXPECT_LE(view->width(), scroll->viewport()->width());
  EXPECT_LE(view->height(), scroll->viewport()->height());
  const int before = view->height();
  w.resize(800, 1100);
  EXPECT_GT(view->height(), before);
  // Page proportions are kept: Letter is 8.5 x 11.
  EXPECT_NEAR(static_cast<double>(view->width()) / view->height(), 8.5 / 11, 0.01);

  w.SetZoom(100);
  EXPECT_FALSE(w.FitsPage());
  EXPECT_NEAR(view->width(), 8.5 * w.logicalDpiX(), 2);
  w.ZoomToFit();
  EXPECT_TRUE(w.FitsPage());
  EXPECT_LE(view->height(), scroll->viewport()->height());
}

TEST(Preview, TwoPreviewsOfOneSurfaceShowTheSamePage) {
  Printer p;
  ThreePages(p);
  PreviewWidget a, b;
  a.SetPrinter(&p);
  b.SetPrinter(&p);
  a.ShowPage(3);
  EXPECT_EQ(b.PageShown(), 3);
  EXPECT_EQ(b.findChild<QLabel*>("PageLabel")->text(), "Page 3 of 3");
}

}  // namespace

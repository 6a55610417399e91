#pragma once
// What a person can read, for window tests. A widget counts only when it is
// really on screen: shown with every ancestor (so its tab is the current
// one), wholly inside its window and inside every scrolled or clipped area
// above it, and its caption not cut at its own font. A test that reads a
// hidden tab or a widget scrolled away proves nothing, so window tests read
// what the user sees through these.
#include <gtest/gtest.h>

#include <QWidget>

class QAbstractItemView;

namespace tvn::test {

// The widget is on screen and, when it carries a caption (label, button,
// check box, option button, group box), the caption shows whole.
::testing::AssertionResult OnScreen(const QWidget* widget);

// No two controls shown inside container overprint each other (labels,
// buttons, boxes, grids; a control and its own children are not compared).
::testing::AssertionResult NothingOverlaps(const QWidget* container);

// The row is among the rows the grid or list shows without scrolling.
::testing::AssertionResult RowVisible(const QAbstractItemView* view, int row);

}  // namespace tvn::test

#define EXPECT_ON_SCREEN(w) EXPECT_TRUE(::tvn::test::OnScreen(w))
#define ASSERT_ON_SCREEN(w) ASSERT_TRUE(::tvn::test::OnScreen(w))

#pragma once
// The quick displays' sort and Quick Jump worked out the plain way, on the
// texts the grid shows: a stable sort comparing cells pair by pair in the
// grid's generic order, and a scan of the sorted rows from the top. The
// windows keep their rows outside the grid and sort them by other means;
// they must land on exactly these rows.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QString>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <utility>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/TextFold.h"

namespace tvntest {

using GridRows = std::vector<std::vector<QString>>;

// Every data row of the grid, each with all its cells.
inline GridRows ShownRows(const forms::FlexGrid& grid) {
  GridRows rows;
  for (int r = 1; r < grid.Rows(); ++r) {
    std::vector<QString> row;
    for (int c = 0; c < grid.Cols(); ++c) row.push_back(grid.TextMatrix(r, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

inline GridRows SortedRows(GridRows rows, int col, bool ascending) {
  std::stable_sort(rows.begin(), rows.end(), [&](const std::vector<QString>& a, const std::vector<QString>& b) {
    const int c = forms::CompareGeneric(forms::MakeGenericSortKey(a[size_t(col)]),
                                        forms::MakeGenericSortKey(b[size_t(col)]));
    return ascending ? c < 0 : c > 0;
  });
  return rows;
}

// The index of the first row whose cell in col, cut to the text's length,
// stands at or after the text in the letter order (or begins with it, when
// prefixOnly); -1 when none does.
inline int JumpRow(const GridRows& rows, int col, const QString& text, bool prefixOnly) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const int c = vb::CompareLetters(rows[i][size_t(col)].left(text.size()).toStdString(), text.toStdString());
    if (prefixOnly ? c == 0 : c >= 0) return int(i);
  }
  return -1;
}

// Texts that test an order: case, accents, letters of other scripts,
// numbers among words (which make the generic order circular), signs,
// empty cells and repeats.
inline std::string AwkwardText(std::uint32_t& seed) {
  static const char* const pieces[] = {"Item ", "item ", "Élan ", "élan ", "Eagle", "Zappa", "ß", "Straße", "Ørn",
                                       "Ω", "ж", "中文", "😀", "*?", "%_", "'", "[x]", "10", "9", "1a", " 42 ",
                                       "1e3", "-7", "0.5", "", "ÿ", "Ÿ", "~", "ǅ", "Ábc"};
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  std::string text;
  for (int n = int(next() % 3); n >= 0; --n) {
    text += pieces[next() % (sizeof pieces / sizeof *pieces)];
    if (next() % 2) text += std::to_string(next() % 50);
  }
  return text;
}

// Sorts a quick display's rows and jumps in them as listed, each time
// checking the rows and the row found against the plain way.
template <class Form>
void ExpectSortsAndJumpsAsThePlainWay(Form& f, const std::vector<std::pair<int, bool>>& sorts,
                                      const std::vector<std::pair<int, std::string>>& jumps, bool prefixOnly) {
  for (const auto& [col, ascending] : sorts) {
    const GridRows before = ShownRows(*f.QDGrid);
    f.QDGrid->SetCol(col);
    ascending ? f.menuA_Click() : f.menuD_Click();
    ASSERT_EQ(ShownRows(*f.QDGrid), SortedRows(before, col, ascending)) << col;
  }
  int sortedOn = -1;  // sorted ascending on this column already: the jump does not sort again
  for (const auto& [option, text] : jumps) {
    const GridRows before = ShownRows(*f.QDGrid);
    const GridRows sorted = sortedOn == option ? before : SortedRows(before, option, true);
    f.srchOption[size_t(option)]->setChecked(true);
    f.srchOption_Click(option);
    f.txtSearch->setText(QString::fromStdString(text));
    f.btnSearch_Click();
    sortedOn = option;
    ASSERT_EQ(ShownRows(*f.QDGrid), sorted) << text;
    const int found = JumpRow(sorted, option, QString::fromStdString(text), prefixOnly);
    EXPECT_EQ(f.QDGrid->Row(), found < 0 ? 1 : found + 1) << text;
    EXPECT_EQ(f.MarkedRow, found < 0 ? 0 : found + 1) << text;
  }
}

// A click on the widget, waiting to be delivered when the work that
// follows first lets the windows paint (its first busy tick).
inline void ClickDuringTheNextWait(QWidget* widget) {
  { vb::BusyScope start; }  // the busy clock runs from here
  QTest::qSleep(150);       // the work's first tick lets the windows paint
  const QPointF centre = QRectF(widget->rect()).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    QCoreApplication::postEvent(widget, new QMouseEvent(type, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
}

}  // namespace tvntest

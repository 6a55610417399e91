// Tables: format strings, rows, multi-line cells, page breaks with the
// header repeated, bold cells and shading.
#include <gtest/gtest.h>

#include "platform/print/Printer.h"

namespace {

using print::ColumnFormat;
using print::Printer;

const char* kCategoryFormat = "<1.8in|^.75in|^.75in|^.75in|^.75in|^.75in|^.75in";
const std::string kCategoryHeader =
    "Category|Cassette|CD\nMini Disc|DVD\nLaser Disk|Video Tape|LP|Software";

std::vector<const print::TextItem*> CellTexts(const print::Page& page, int table = 0) {
  std::vector<const print::TextItem*> out;
  for (const auto& t : page.texts)
    if (t.table == table) out.push_back(&t);
  return out;
}

TEST(TableFormat, FlagsAndWidthsPerColumn) {
  const auto cols = print::ParseTableFormat("<1.8in|^.75in|>2cm|+^2.0in|=~!720|_;");
  ASSERT_EQ(cols.size(), 6u);
  EXPECT_EQ(cols[0], (ColumnFormat{'<', 't', false, false, 1.8 * 1440}));
  EXPECT_EQ(cols[1].align, '^');
  EXPECT_DOUBLE_EQ(cols[1].width, 0.75 * 1440);
  EXPECT_EQ(cols[2].align, '>');
  EXPECT_NEAR(cols[2].width, 2 / 2.54 * 1440, 0.01);
  EXPECT_EQ(cols[3].align, '^');
  EXPECT_EQ(cols[3].valign, 'c');
  EXPECT_DOUBLE_EQ(cols[3].width, 2880);
  EXPECT_EQ(cols[4].align, '=');
  EXPECT_TRUE(cols[4].noWrap);
  EXPECT_TRUE(cols[4].rightBorder);
  EXPECT_DOUBLE_EQ(cols[4].width, 720);
  EXPECT_EQ(cols[5].valign, 'b');
  EXPECT_EQ(cols[5].width, -1);
  EXPECT_TRUE(print::ParseTableFormat("").empty());
}

TEST(TableFormat, RowsEndWithSemicolonsAndCellsKeepLineFeeds) {
  const auto rows = print::SplitTableRows("Rock|X||;Jazz||X|;");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Rock", "X", "", ""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"Jazz", "", "X", ""}));
  const auto header = print::SplitTableRows(kCategoryHeader);
  ASSERT_EQ(header.size(), 1u);
  ASSERT_EQ(header[0].size(), 7u);
  EXPECT_EQ(header[0][2], "CD\nMini Disc");
  EXPECT_TRUE(print::SplitTableRows("").empty());
  EXPECT_EQ(print::SplitTableRows("one").size(), 1u);
}

TEST(Tables, RowsAccumulateInOneBlockAndLandInTheirColumns) {
  Printer p;
  p.StartDoc();
  p.StartTable();
  p.StartTable();  // a second StartTable changes nothing
  p.AddTable(kCategoryFormat, kCategoryHeader, "Rock|X|||||;", 0xC0C0FF);
  p.AddTable(kCategoryFormat, kCategoryHeader, "Jazz||X||||X;", 0xC0C0FF);
  const double top = p.CurrentY();
  EXPECT_TRUE(p.document().pages[0].tables.empty());  // laid out at EndTable
  p.EndTable();
  const auto& page = p.document().pages[0];
  ASSERT_EQ(page.tables.size(), 1u);
  const auto& t = page.tables[0];
  EXPECT_EQ(t.x, 1440);
  EXPECT_EQ(t.y, top);
  ASSERT_EQ(t.columnWidths.size(), 7u);
  EXPECT_DOUBLE_EQ(t.columnWidths[0], 1.8 * 1440);
  ASSERT_EQ(t.rows.size(), 3u);
  EXPECT_TRUE(t.rows[0].header);
  EXPECT_EQ(t.rows[1].cells[0].text, "Rock");
  EXPECT_EQ(t.rows[2].cells[6].text, "X");
  EXPECT_EQ(t.headerShade, 0xC0C0FF);
  EXPECT_EQ(print::ColorFromBgr(t.headerShade), QColor(255, 192, 192));
  // CurrentY ends below the table, CurrentX at the left edge.
  EXPECT_NEAR(p.CurrentY(), top + t.Height(), 0.01);
  EXPECT_EQ(p.CurrentX(), 1440);

  // The "X" of Jazz's software column is centred in the seventh column.
  const double col7 = 1440 + 1.8 * 1440 + 5 * 0.75 * 1440;
  const print::TextItem* x = nullptr;
  for (const auto* c : CellTexts(page))
    if (c->text == "X" && c->y > t.rows[2].y) x = c;
  ASSERT_NE(x, nullptr);
  EXPECT_GT(x->x, col7);
  EXPECT_NEAR(x->x + x->width / 2, col7 + 0.75 * 1440 / 2, 0.5);
  // The first column is left-aligned.
  for (const auto* c : CellTexts(page)) {
    if (c->text == "Rock") {
      EXPECT_LT(c->x, 1440 + 100);
    }
  }
}

TEST(Tables, CellsWithLineFeedsTakeSeveralLinesAndTheRowGrows) {
  Printer p;
  p.StartDoc();
  p.AddTable(kCategoryFormat, kCategoryHeader, "Rock;", 0xC0C0FF);
  const auto& page = p.document().pages[0];
  ASSERT_EQ(page.tables.size(), 1u);
  const auto& t = page.tables[0];
  const double lh = p.TextHeight();
  // Header: two lines, body: one.
  EXPECT_GT(t.rows[0].height, 2 * lh);
  EXPECT_LT(t.rows[1].height, 2 * lh);
  const print::TextItem* cd = nullptr;
  const print::TextItem* mini = nullptr;
  for (const auto* c : CellTexts(page)) {
    if (c->text == "CD") cd = c;
    if (c->text == "Mini Disc") mini = c;
  }
  ASSERT_TRUE(cd && mini);
  EXPECT_NEAR(mini->y - cd->y, lh, 0.01);
  EXPECT_EQ(t.rows[0].cells[2].text, "CD\nMini Disc");
}

TEST(Tables, LongCellTextWrapsInsideItsColumn) {
  Printer p;
  p.StartDoc();
  p.AddTable("<1in|<2in", "", "A rather long name that cannot fit into one inch|short;");
  const auto& page = p.document().pages[0];
  const auto cells = CellTexts(page);
  int firstColumnLines = 0;
  for (const auto* c : cells) {
    if (c->x < 1440 + 1440) {
      ++firstColumnLines;
      EXPECT_LE(c->x + c->width, 2880 + 1);
    }
  }
  EXPECT_GE(firstColumnLines, 3);
  EXPECT_TRUE(page.tables[0].rows.size() == 1 && !page.tables[0].rows[0].header);
}

TEST(Tables, PageBreakRepeatsTheHeaderRow) {
  Printer p;
  p.SetMarginTop(770);
  p.SetMarginBottom(770);
  p.StartDoc();
  p.StartTable();
  for (int i = 1; i <= 120; ++i)
    p.AddTable("<2in|^1in", "Name|Count", "Row " + std::to_string(i) + "|" + std::to_string(i) + ";", 65535,
               -1, true);
  p.EndTable();
  ASSERT_GE(p.PageCount(), 2);
  int bodyRows = 0;
  int id = 0;
  for (int i = 0; i < p.PageCount(); ++i) {
    const auto& page = p.document().pages[i];
    ASSERT_EQ(page.tables.size(), 1u) << "page " << i + 1;
    const auto& t = page.tables[0];
    if (i == 0) id = t.id;
    EXPECT_EQ(t.id, id);
    ASSERT_TRUE(t.rows[0].header);
    EXPECT_EQ(t.rows[0].cells[0].text, "Name");
    if (i > 0) {
      EXPECT_EQ(t.y, 770);
    }
    EXPECT_LE(t.y + t.Height(), 15840 - 770 + 0.01);
    for (size_t r = 1; r < t.rows.size(); ++r) {
      EXPECT_FALSE(t.rows[r].header);
      ++bodyRows;
      EXPECT_EQ(t.rows[r].cells[0].text, QString("Row %1").arg(bodyRows));
    }
    // The header's text is on the page too.
    bool nameShown = false;
    for (const auto* c : CellTexts(page))
      if (c->text == "Name" && c->y < t.rows[0].y + t.rows[0].height) nameShown = true;
    EXPECT_TRUE(nameShown);
  }
  EXPECT_EQ(bodyRows, 120);
}

TEST(Tables, TableCellBoldsTheFirstColumnAndTheHeaderRow) {
  Printer p;
  p.StartDoc();
  p.StartTable();
  p.AddTable(kCategoryFormat, kCategoryHeader, "Rock|X|||||;Jazz||||||X;", 0xC0C0FF);
  p.TableCell(print::kTableCellFontBold, std::nullopt, 1, true);
  p.TableCell(print::kTableCellFontBold, 0, std::nullopt, true);
  p.EndTable();
  const auto& page = p.document().pages[0];
  const auto& t = page.tables[0];
  EXPECT_TRUE(t.rows[0].cells[3].bold);   // header row
  EXPECT_TRUE(t.rows[1].cells[0].bold);   // first column
  EXPECT_TRUE(t.rows[2].cells[0].bold);
  EXPECT_FALSE(t.rows[1].cells[1].bold);
  for (const auto* c : CellTexts(page)) {
    if (c->text == "Rock" || c->text == "Jazz" || c->text == "Software") {
      EXPECT_TRUE(c->font.bold) << c->text.toStdString();
    }
    if (c->text == "X") {
      EXPECT_FALSE(c->font.bold);
    }
  }
}

TEST(Tables, RowsOfCellsKeepSeparatorsInTheirText) {
  Printer p;
  p.StartDoc();
  p.AddTable("<2in|<2in", "Name|Note", std::vector<std::vector<std::string>>{{"A|B", "x;y"}}, 65535);
  const auto& t = p.document().pages[0].tables[0];
  ASSERT_EQ(t.rows.size(), 2u);
  ASSERT_EQ(t.rows[1].cells.size(), 2u);
  EXPECT_EQ(t.rows[1].cells[0].text, "A|B");
  EXPECT_EQ(t.rows[1].cells[1].text, "x;y");
}

TEST(Tables, AnEmptyBlockAndAnOpenTableAtEndDocAreHarmless) {
  Printer p;
  p.StartDoc();
  p.StartTable();
  p.EndDoc();
  EXPECT_TRUE(p.document().pages[0].tables.empty());
  // A header with no rows still prints the header.
  p.StartDoc();
  p.StartTable();
  p.AddTable(kCategoryFormat, kCategoryHeader, "", 0xC0C0FF);
  p.EndDoc();
  ASSERT_EQ(p.document().pages[0].tables.size(), 1u);
  EXPECT_EQ(p.document().pages[0].tables[0].rows.size(), 1u);
}

}  // namespace

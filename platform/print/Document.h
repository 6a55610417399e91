#pragma once
// The page model of a report: pages of positioned items. Every position and
// size is in twips (1440 to the inch) from the page's top-left corner, and
// every colour is a blue-green-red long (&HBBGGRR), as the report writers
// give them.
#include <QString>

#include "platform/print/Picture.h"

#include <cstdint>
#include <string>
#include <vector>

class QColor;

namespace print {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
// US Letter, the page the writers' fixed positions assume.
constexpr double kLetterWidth = 12240.0;
constexpr double kLetterHeight = 15840.0;

// A blue-green-red long (65535 yellow, &HC0C0FF light red) as a colour.
QColor ColorFromBgr(long bgr);

struct FontSpec {
  std::string name = "arial";
  double size = 8.0;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const FontSpec&) const = default;
};

// One run of text on one line. y is the top of the line; baseline is where
// the glyphs stand (y + the font's ascent).
struct TextItem {
  double x = 0, y = 0, baseline = 0, width = 0;
  FontSpec font;
  long color = 0;
  QString text;
  bool header = false;   // the page header, not part of the report's flow
  int table = -1;        // index of the TableItem on the page this cell text belongs to
  bool operator==(const TextItem&) const = default;
};

struct PictureItem {
  double x = 0, y = 0, width = 0, height = 0;
  Picture picture;
  bool operator==(const PictureItem&) const = default;
};

struct LineItem {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  long color = 0;
  double width = 15;  // one pixel at 96 dpi
  bool operator==(const LineItem&) const = default;
};

// A box: filled with brush when filled, outlined with pen when outlined.
struct BoxItem {
  double x = 0, y = 0, width = 0, height = 0;
  long pen = 0;
  long brush = 0xFFFFFF;
  bool filled = true;
  bool outlined = false;
  bool operator==(const BoxItem&) const = default;
};

// The part of a table that stands on one page, kept as a table so that the
// HTML export writes it as one. Its cell texts are TextItems of the page
// (with table set); the cells keep the whole text for the export.
struct TableCellData {
  QString text;
  bool bold = false;
  bool operator==(const TableCellData&) const = default;
};
struct TableRowData {
  double y = 0, height = 0;
  bool header = false;  // the header row (repeated on every page of the table)
  std::vector<TableCellData> cells;
  bool operator==(const TableRowData&) const = default;
};
struct TableItem {
  int id = 0;  // the same for every part of one table
  double x = 0, y = 0;
  std::vector<double> columnWidths;
  std::vector<char> columnAlign;  // '<', '^', '>' or '=' per column
  long headerShade = -1;          // -1: none
  long bodyShade = -1;
  std::vector<TableRowData> rows;
  double Width() const;
  double Height() const;
  bool operator==(const TableItem&) const = default;
};

// Items in the order they were drawn, per kind; paint order is boxes and
// tables (shading, rules), pictures, lines, then text.
struct Page {
  double width = kLetterWidth, height = kLetterHeight;
  std::vector<TextItem> texts;
  std::vector<PictureItem> pictures;
  std::vector<LineItem> lines;
  std::vector<BoxItem> boxes;
  std::vector<TableItem> tables;
  bool operator==(const Page&) const = default;
};

struct Document {
  std::vector<Page> pages;
  int PageCount() const { return static_cast<int>(pages.size()); }
};

}  // namespace print

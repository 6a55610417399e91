#pragma once
// Inside the layer: the state behind a Printer and the routines its parts
// share (text flow, table layout).
#include <QString>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/print/Printer.h"

namespace print {

// The lines text breaks into: the first line fits in firstWidth, the others
// in width. Words break at blanks; a word longer than a line breaks between
// characters. The first line may come back empty when not even a word fits
// the rest of a line.
std::vector<QString> WrapText(const FontSpec& font, const QString& text, double firstWidth,
                              double width);

// The message of an export (kind "PDF" or "HTML") that failed part-way,
// with the system's reason: the file named is left as it was.
std::string UnwrittenExportMessage(const char* kind, const std::string& file, const QString& reason);

// A table being collected between StartTable and EndTable.
struct PendingTable {
  bool open = false;
  std::vector<ColumnFormat> columns;
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  long headerShade = -1;
  long bodyShade = -1;
  std::set<int> boldColumns;             // 1-based
  std::set<int> boldRows;                // 0 the header
  std::set<std::pair<int, int>> boldCells;  // (row, column)
  bool boldAll = false;
};

// What the page header of a page is made from.
struct HeaderStamp {
  std::string header;
  FontSpec font;
  double marginTop = 0, marginLeft = 0, marginRight = 0;
  bool operator==(const HeaderStamp&) const = default;
};

struct Printer::State {
  Document doc;
  bool open = false;
  int docStart = 0;
  int docOrientation = kPortrait;

  double x = 1440, y = 720, lineHeight = 0;
  // The runs of the line being printed: from lineFirst on the last page,
  // all with their tops at lineTop, standing on one baseline lineAscent
  // below it. lineFirst -1: no line is open.
  long lineFirst = -1;
  double lineTop = 0, lineAscent = 0, lineDescent = 0;
  FontSpec font;
  FontSpec hdrFont;
  long color = 0;
  double marginLeft = 1440, marginRight = 1440, marginTop = 720, marginBottom = 720;
  double indentLeft = 0, indentRight = 0;
  int align = kTextAlignBody;
  int orientation = kPortrait;
  std::string header;

  long pen = 0, brush = 0xFFFFFF;
  double penWidth = 15;

  std::string exportFile;
  int exportFormat = kExportHtml;
  bool exportOk = true;
  std::string error;
  int previewPage = 0;

  PendingTable table;
  int nextTableId = 1;
  Progress progress;

  double PageWidth() const;
  double PageHeight() const;
  double LeftLimit() const { return marginLeft + indentLeft; }
  double RightLimit() const { return PageWidth() - marginRight - indentRight; }
  double BottomLimit() const { return PageHeight() - marginBottom; }
  void EnsureDoc();
  // Empties the document.
  void ReleasePages();
  void AddPage();
  void LineFeed();
  // A new page when a line of height would pass the bottom margin (and the
  // cursor is not already at the top).
  void BreakIfBelow(double height);
  void Emit(const QString& text, double width);
  // Ends the line the next run would join (after a line feed, a new page,
  // a table).
  void CloseLine() { lineFirst = -1; }
  void Print(QString piece);
  // A page is given its header as soon as the next page begins, while it
  // is still held in memory; the end of the document then stamps the last
  // page, and reads the others back only when the header was changed
  // after they were stamped.
  HeaderStamp CurrentStamp() const;
  void StampHeader(size_t page, const HeaderStamp& stamp);
  void StampHeaders();
  size_t stampedPages = 0;  // pages from docStart on before this one carry stampedWith
  HeaderStamp stampedWith;
  void LayoutTable();
};

}  // namespace print

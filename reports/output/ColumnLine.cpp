// Columns are laid out whole before anything is printed: the lines of
// every column are known first, then printed line beside line, so that a
// page break falls between two lines of the record, never inside one.
#include "reports/output/ColumnLine.h"

#include <QString>
#include <QStringList>

#include <algorithm>

#include "platform/print/Printer.h"

namespace tvn::reports {
namespace {

// A piece of a column's line, with its offset from the column's left.
struct Piece {
  double x;
  std::string text;
  bool bold;
};
using Line = std::vector<Piece>;

std::vector<Line> LayOut(print::Printer& p, const Column& column, double width) {
  std::vector<Line> lines(1);
  double x = column.indent;
  const double lineWidth = std::max(1.0, width - column.indent);
  for (const ColumnRun& run : column.runs) {
    p.SetFontBold(run.bold);
    const QStringList paragraphs = QString::fromStdString(run.text).remove('\r').split('\n');
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
      if (k > 0) {
        lines.emplace_back();
        x = column.indent;
      }
      std::string text = paragraphs[k].toStdString();
      // Most values fit where they start: they are measured once, not
      // word by word.
      const double whole = p.TextWidth(text);
      if (whole <= width - x) {
        if (!text.empty()) lines.back().push_back({x, std::move(text), run.bold});
        x += whole;
        continue;
      }
      const std::vector<std::string> wrapped = p.WrapLines(text, std::max(0.0, width - x), lineWidth);
      for (std::size_t i = 0; i < wrapped.size(); ++i) {
        if (i > 0) {
          lines.emplace_back();
          x = column.indent;
        }
        if (wrapped[i].empty()) continue;
        lines.back().push_back({x, wrapped[i], run.bold});
        x += p.TextWidth(wrapped[i]);
      }
    }
  }
  return lines;
}

}  // namespace

void PrintColumns(print::Printer& p, const std::vector<Column>& columns, double gap) {
  const bool bold = p.FontBold();
  const double size = p.FontSize();
  const double rightLimit = p.PageWidth() - p.MarginRight() - p.IndentRight();
  std::vector<std::vector<Line>> laidOut;
  laidOut.reserve(columns.size());
  std::size_t count = 0;
  double height = 0;  // of a line in the tallest font
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const double right = c + 1 < columns.size() ? columns[c + 1].left - gap : rightLimit;
    p.SetFontSize(columns[c].size > 0 ? columns[c].size : size);
    laidOut.push_back(LayOut(p, columns[c], right - columns[c].left));
    count = std::max(count, laidOut.back().size());
    height = std::max(height, p.TextHeight());
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (p.CurrentY() + height > p.PageHeight() - p.MarginBottom() && p.CurrentY() > p.MarginTop()) p.NewPage();
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (i >= laidOut[c].size()) continue;
      p.SetFontSize(columns[c].size > 0 ? columns[c].size : size);
      for (const Piece& piece : laidOut[c][i]) {
        p.SetCurrentX(columns[c].left + piece.x);
        p.SetFontBold(piece.bold);
        p.Text(piece.text);
      }
    }
    // The line feed in the printer's own font: a line of smaller text
    // than it moves down as far as before.
    p.SetFontSize(size);
    p.SetFontBold(bold);
    p.Text("\n");
  }
}

}  // namespace tvn::reports

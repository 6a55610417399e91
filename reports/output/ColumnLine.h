#pragma once
// A report line set in columns, as the writers print a record's fields
// side by side: each column's text wraps inside the column, so that a
// value as long as its field allows never runs into the next column or
// under it, and is never cut. The line is as tall as its longest column.
#include <string>
#include <vector>

namespace print {
class Printer;
}

namespace tvn::reports {

// A piece of a column's text, in bold or not. Line feeds in it start new
// lines of the column.
struct ColumnRun {
  std::string text;
  bool bold = false;
};

// A bold label and its plain value, as the writers print a field.
inline std::vector<ColumnRun> LabelAndValue(const std::string& label, const std::string& value) {
  return {{label, true}, {value, false}};
}

struct Column {
  double left = 0;  // twips from the page's left edge
  std::vector<ColumnRun> runs;
  double size = 0;    // font size in points; 0 is the printer's own
  double indent = 0;  // every line of the column starts this much further in
};

// Prints the columns side by side from the cursor's line down. Each column
// ends `gap` twips before the next one's left, the last at the right limit
// (page width less the right margin and indent). A line of the columns
// that would pass the bottom margin starts a new page, all its columns
// with it. Ends with a line feed below the longest column, the cursor at
// the left limit; the printer's bold and size are as they were.
void PrintColumns(print::Printer& p, const std::vector<Column>& columns, double gap = 100);

}  // namespace tvn::reports

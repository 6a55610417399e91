// Tables: the format strings, collecting rows and laying them out on pages;
// and the word wrapping that tables and the text flow share.
#include <QStringList>

#include <algorithm>

#include "platform/print/Fonts.h"
#include "platform/print/PrinterState.h"

namespace print {

namespace {

// Blank-separated words, each with the blanks that follow it (text that
// starts with blanks gives them as a word of their own).
std::vector<QString> Words(const QString& text) {
  std::vector<QString> words;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    qsizetype j = i;
    while (j < n && text[j] != QLatin1Char(' ')) ++j;
    while (j < n && text[j] == QLatin1Char(' ')) ++j;
    words.push_back(text.mid(i, j - i));
    i = j;
  }
  return words;
}

QString TrimEnd(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
  return s.left(n);
}

QString TrimStart(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
  return s.mid(i);
}

constexpr double kSlack = 0.5;  // twips of rounding a line may pass its width by

}  // namespace

std::vector<QString> WrapText(const FontSpec& font, const QString& text, double firstWidth,
                              double width) {
  const FontEntry& fm = FontFor(font);
  width = std::max(width, 1.0);
  std::vector<QString> lines;
  QString line;
  double lineWidth = 0;
  double avail = firstWidth;
  auto endLine = [&] {
    lines.push_back(TrimEnd(line));
    line.clear();
    lineWidth = 0;
    avail = width;
  };
  for (QString word : Words(text)) {
    while (!word.isEmpty()) {
      // Words recur across a report's notes: each is measured once.
      QString trimmed = TrimEnd(word);
      const double fit = MeasureRun(font, trimmed);
      if (lineWidth + fit <= avail + kSlack) {
        line += word;
        lineWidth += trimmed.size() == word.size() ? fit : MeasureRun(font, word);
        break;
      }
      if (!line.isEmpty() || avail < width) {
        // The word starts the next line, without the blanks before it.
        endLine();
        word = TrimStart(word);
        continue;
      }
      // A word longer than a whole line breaks between characters.
      qsizetype take = 1;
      while (take < word.size() && TextAdvance(fm, word.left(take + 1)) <= avail + kSlack) ++take;
      line = word.left(take);
      word = word.mid(take);
      endLine();
    }
  }
  if (!line.isEmpty() || lines.empty()) lines.push_back(line);
  return lines;
}

namespace {

double UnitWidth(QString text) {
  text = text.trimmed().toLower();
  double factor = 1;  // twips when no unit is given
  auto unit = [&](const char* u, double f) {
    if (text.endsWith(QLatin1String(u))) {
      text.chop(static_cast<qsizetype>(qstrlen(u)));
      factor = f;
      return true;
    }
    return false;
  };
  unit("in", kTwipsPerInch) || unit("cm", kTwipsPerInch / 2.54) || unit("mm", kTwipsPerInch / 25.4) ||
      unit("pt", kTwipsPerPoint) || unit("tw", 1);
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  return ok && v > 0 ? v * factor : -1;
}

QString StripEnd(QString s) {
  while (s.endsWith(QLatin1Char(';'))) s.chop(1);
  return s;
}

}  // namespace

std::vector<ColumnFormat> ParseTableFormat(const std::string& format) {
  std::vector<ColumnFormat> columns;
  const QString all = StripEnd(QString::fromStdString(format).trimmed());
  if (all.isEmpty()) return columns;
  for (const QString& part : all.split(QLatin1Char('|'))) {
    ColumnFormat c;
    qsizetype i = 0;
    for (; i < part.size(); ++i) {
      const char ch = part[i].toLatin1();
      if (ch == '<' || ch == '^' || ch == '>' || ch == '=') c.align = ch;
      else if (ch == '+') c.valign = 'c';
      else if (ch == '_') c.valign = 'b';
      else if (ch == '~') c.noWrap = true;
      else if (ch == '!') c.rightBorder = true;
      else if (ch == '*' || ch == ' ') continue;  // '*' follows TextAlign: body text is left
      else break;
    }
    c.width = UnitWidth(part.mid(i));
    columns.push_back(c);
  }
  return columns;
}

std::vector<std::vector<std::string>> SplitTableRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  const QString all = StripEnd(QString::fromStdString(text));
  if (all.isEmpty()) return rows;
  for (const QString& row : all.split(QLatin1Char(';'))) {
    std::vector<std::string> cells;
    for (const QString& cell : row.split(QLatin1Char('|'))) cells.push_back(cell.toStdString());
    rows.push_back(std::move(cells));
  }
  return rows;
}

double TableItem::Width() const {
  double w = 0;
  for (double c : columnWidths) w += c;
  return w;
}

double TableItem::Height() const {
  return rows.empty() ? 0 : rows.back().y + rows.back().height - y;
}

void Printer::StartTable() {
  if (d_->table.open) return;
  d_->table = PendingTable{};
  d_->table.open = true;
}

void Printer::AddTable(const std::string& format, const std::string& header, const std::string& body,
                       long headerShade, long bodyShade, bool append) {
  AddTable(format, header, SplitTableRows(body), headerShade, bodyShade, append);
}

void Printer::AddTable(const std::string& format, const std::string& header,
                       const std::vector<std::vector<std::string>>& rows, long headerShade,
                       long bodyShade, bool /*append: rows always accumulate inside a block*/) {
  const bool inBlock = d_->table.open;
  if (!inBlock) StartTable();
  PendingTable& t = d_->table;
  t.columns = ParseTableFormat(format);
  const auto headerRows = SplitTableRows(header);
  t.header = headerRows.empty() ? std::vector<std::string>{} : headerRows.front();
  t.headerShade = headerShade;
  t.bodyShade = bodyShade;
  t.rows.insert(t.rows.end(), rows.begin(), rows.end());
  if (!inBlock) EndTable();
}

void Printer::TableCell(int setting, std::optional<int> row, std::optional<int> column, bool value) {
  if (setting != kTableCellFontBold || !d_->table.open) return;
  PendingTable& t = d_->table;
  auto apply = [value](auto& set, const auto& key) {
    if (value) set.insert(key);
    else set.erase(key);
  };
  if (row && column) apply(t.boldCells, std::make_pair(*row, *column));
  else if (row) apply(t.boldRows, *row);
  else if (column) apply(t.boldColumns, *column);
  else t.boldAll = value;
}

void Printer::EndTable() {
  if (!d_->table.open && d_->table.rows.empty()) return;
  d_->EnsureDoc();
  d_->LayoutTable();
  d_->table = PendingTable{};
}

namespace {
constexpr double kCellPadX = 60;
constexpr double kCellPadY = 30;

struct CellLayout {
  std::vector<QString> lines;
  std::vector<double> widths;
  FontSpec font;
  double lineHeight = 0;
};
struct RowLayout {
  std::vector<CellLayout> cells;
  std::vector<QString> texts;
  double height = 0;
};
}  // namespace

void Printer::State::LayoutTable() {
  PendingTable& t = table;
  size_t n = std::max(t.columns.size(), t.header.size());
  for (const auto& r : t.rows) n = std::max(n, r.size());
  const bool hasHeader = std::any_of(t.header.begin(), t.header.end(), [](const auto& s) { return !s.empty(); });
  if (n == 0 || (!hasHeader && t.rows.empty())) return;

  std::vector<ColumnFormat> cols = t.columns;
  cols.resize(n);
  const double left = LeftLimit();
  double given = 0;
  int unsized = 0;
  for (const auto& c : cols) {
    if (c.width > 0) given += c.width;
    else ++unsized;
  }
  const double share = unsized == 0 ? 0 : std::max(720.0, (RightLimit() - left - given) / unsized);
  std::vector<double> widths;
  std::vector<char> aligns;
  for (const auto& c : cols) {
    widths.push_back(c.width > 0 ? c.width : share);
    aligns.push_back(c.align);
  }

  FontSpec plain = font;
  plain.bold = false;
  FontSpec bold = plain;
  bold.bold = true;
  auto isBold = [&](int row, int col) {
    return t.boldAll || t.boldRows.count(row) || t.boldColumns.count(col) || t.boldCells.count({row, col});
  };
  auto layoutRow = [&](const std::vector<std::string>& cells, int row) {
    RowLayout r;
    double contentMax = 0;
    for (size_t c = 0; c < n; ++c) {
      CellLayout cell;
      cell.font = isBold(row, static_cast<int>(c) + 1) ? bold : plain;
      const auto& fe = FontFor(cell.font);
      cell.lineHeight = fe.ascent + fe.descent;
      QString text = c < cells.size() ? QString::fromStdString(cells[c]) : QString();
      text.remove(QLatin1Char('\r'));
      const double inner = std::max(1.0, widths[c] - 2 * kCellPadX);
      // A cell of one line that fits, the common case, keeps its text as
      // its only line: the cell record and the text run share one string.
      // Values that repeat down a column (a category, a section) share one
      // string over all their cells.
      const double whole = text.isEmpty() || text.contains(QLatin1Char('\n')) ? -1 : MeasureRun(cell.font, text);
      if (whole >= 0 && (whole <= inner + kSlack || cols[c].noWrap)) {
        cell.lines.push_back(text);
        cell.widths.push_back(whole);
      } else if (!text.isEmpty()) {
        for (const QString& para : text.split(QLatin1Char('\n'))) {
          const double w = TextAdvance(fe, para);
          if (w <= inner + kSlack || cols[c].noWrap) {
            cell.lines.push_back(para);
            cell.widths.push_back(w);
          } else {
            for (const QString& l : WrapText(cell.font, para, inner, inner)) {
              cell.lines.push_back(l);
              cell.widths.push_back(TextAdvance(fe, l));
            }
          }
        }
      }
      contentMax = std::max(contentMax, std::max<size_t>(1, cell.lines.size()) * cell.lineHeight);
      r.texts.push_back(text);
      r.cells.push_back(std::move(cell));
    }
    r.height = contentMax + 2 * kCellPadY;
    return r;
  };

  const int id = nextTableId++;
  double ty = y;
  int fragment = -1;
  double fragmentTop = ty;
  auto startFragment = [&] {
    TableItem item;
    item.id = id;
    item.x = left;
    item.y = ty;
    fragmentTop = ty;
    item.columnWidths = widths;
    item.columnAlign = aligns;
    item.headerShade = t.headerShade;
    item.bodyShade = t.bodyShade;
    auto& tables = doc.pages.back().tables;
    tables.push_back(std::move(item));
    fragment = static_cast<int>(tables.size()) - 1;
  };
  auto placeRow = [&](const RowLayout& r, bool header) {
    Page& page = doc.pages.back();
    TableRowData row;
    row.y = ty;
    row.height = r.height;
    row.header = header;
    double cx = left;
    for (size_t c = 0; c < n; ++c) {
      const CellLayout& cell = r.cells[c];
      row.cells.push_back(TableCellData{r.texts[c], cell.font.bold});
      const double content = cell.lines.size() * cell.lineHeight;
      double ly = ty + kCellPadY;
      if (cols[c].valign == 'c') ly = ty + (r.height - content) / 2;
      else if (cols[c].valign == 'b') ly = ty + r.height - kCellPadY - content;
      const double ascent = FontFor(cell.font).ascent;
      for (size_t k = 0; k < cell.lines.size(); ++k) {
        if (cell.lines[k].isEmpty()) {
          ly += cell.lineHeight;
          continue;
        }
        const double w = cell.widths[k];
        double lx = cx + kCellPadX;
        if (cols[c].align == '^') lx = cx + (widths[c] - w) / 2;
        else if (cols[c].align == '>') lx = cx + widths[c] - kCellPadX - w;
        TextItem ti;
        ti.x = lx;
        ti.y = ly;
        ti.baseline = ly + ascent;
        ti.width = w;
        ti.font = cell.font;
        ti.color = color;
        ti.text = cell.lines[k];
        ti.table = fragment;
        page.texts.push_back(std::move(ti));
        ly += cell.lineHeight;
      }
      cx += widths[c];
    }
    page.tables[static_cast<size_t>(fragment)].rows.push_back(std::move(row));
    ty += r.height;
  };
  auto newPage = [&] {
    AddPage();
    ty = marginTop;
  };

  RowLayout head;
  if (hasHeader) head = layoutRow(t.header, 0);
  RowLayout first;
  if (!t.rows.empty()) first = layoutRow(t.rows.front(), 1);
  // The header does not stand alone at the foot of a page.
  const double opening = (hasHeader ? head.height : 0) + first.height;
  if (ty + opening > BottomLimit() && ty > marginTop) newPage();
  startFragment();
  if (hasHeader) placeRow(head, true);
  for (size_t i = 0; i < t.rows.size(); ++i) {
    RowLayout r = i == 0 ? std::move(first) : layoutRow(t.rows[i], static_cast<int>(i) + 1);
    // A row collected for the table is let go once it is laid out, so that
    // a long table is not held twice.
    std::vector<std::string>().swap(t.rows[i]);
    const size_t bodyRows = doc.pages.back().tables[static_cast<size_t>(fragment)].rows.size() - (hasHeader ? 1 : 0);
    if (ty + r.height > BottomLimit() && (bodyRows > 0 || fragmentTop > marginTop)) {
      newPage();
      startFragment();
      if (hasHeader) placeRow(head, true);
    }
    placeRow(r, false);
  }
  y = ty;
  x = LeftLimit();
  lineHeight = 0;
  CloseLine();
}

}  // namespace print

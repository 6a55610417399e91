#include "platform/forms/FlexGrid.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include "platform/runtime/TextFold.h"

namespace forms {

namespace {
constexpr int kTwipsPerPixel = 15;

QColor Blend(const QColor& base, const QColor& flood, int percent) {
  const double f = std::clamp(percent, 0, 100) / 100.0;
  return QColor::fromRgbF(float(base.redF() * (1 - f) + flood.redF() * f),
                          float(base.greenF() * (1 - f) + flood.greenF() * f),
                          float(base.blueF() * (1 - f) + flood.blueF() * f));
}
}  // namespace

// ---- model

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
  cells_.resize(size_t(rows_) * size_t(cols_));
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, shownRows_ - fixedRows_);
}

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownCols_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + fixedRows_;
  const int col = index.column();
  if (row >= rows_ || col >= cols_) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (source_) return row - fixedRows_ < source_->RowCount() ? source_->Cell(row - fixedRows_, col) : QString();
      return cells_[size_t(Key(row, col))];
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
      auto it = styles_.find(Key(row, col));
      if (it == styles_.end()) return {};
      const CellStyle& s = it->second;
      if (role == Qt::BackgroundRole) {
        if (s.flood > 0) return Blend(s.back.isValid() ? s.back : QColor(Qt::white), floodColor_, s.flood);
        return s.back.isValid() ? QVariant(s.back) : QVariant();
      }
      if (s.flood >= 50) return QColor(Qt::white);
      return s.fore.isValid() ? QVariant(s.fore) : QVariant();
    }
    case Qt::CheckStateRole: {
      auto it = styles_.find(Key(row, col));
      if (it == styles_.end() || it->second.check == 0) return {};
      return it->second.check == 1 ? Qt::Checked : Qt::Unchecked;
    }
    default:
      return {};
  }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || source_ || role != Qt::EditRole || !index.isValid()) return false;
  const int row = index.row() + fixedRows_;
  if (row >= rows_ || index.column() >= cols_) return false;
  cells_[size_t(Key(row, index.column()))] = value.toString();
  ForgetRanks(index.column());
  emit dataChanged(index, index);
  emit Edited(row, index.column());
  return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (editable_ && index.isValid()) f |= Qt::ItemIsEditable;
  return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (fixedRows_ < 1 || section < 0 || section >= cols_) return {};
  return cells_[size_t(section)];
}

void GridModel::Publish() {
  beginResetModel();
  shownRows_ = rows_;
  shownCols_ = cols_;
  endResetModel();
  dirty_ = false;
}

void GridModel::CellChanged(int row, int col) {
  if (!redraw_ || dirty_) {
    dirty_ = true;
    return;
  }
  if (row < fixedRows_) {
    emit headerDataChanged(Qt::Horizontal, col, col);
  } else {
    const QModelIndex i = index(row - fixedRows_, col);
    emit dataChanged(i, i);
  }
}

// ---- grid

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
  setModel(model_);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  colWidths_.assign(size_t(model_->cols_), -1);
  connect(model_, &GridModel::Edited, this, &FlexGrid::CellEdited);
}

bool FlexGrid::ValidCell(int row, int col) const {
  return row >= 0 && col >= 0 && row < model_->rows_ && col < model_->cols_;
}

void FlexGrid::SetRows(int rows) {
  rows = std::max(rows, model_->fixedRows_);
  if (model_->source_) {
    // Back to rows of the grid's own, empty below the fixed row.
    model_->source_.reset();
    model_->cells_.resize(size_t(model_->fixedRows_) * size_t(model_->cols_));
    model_->rows_ = model_->fixedRows_;
    model_->styles_.clear();
  }
  if (rows == model_->rows_) return;
  const int cols = model_->cols_;
  if (rows < model_->rows_) {
    std::erase_if(model_->styles_, [&](const auto& kv) { return kv.first >= std::int64_t(rows) * cols; });
  }
  model_->cells_.resize(size_t(rows) * size_t(cols));
  model_->rows_ = rows;
  model_->ForgetRanks();
  if (row_ >= rows) row_ = rows - 1;
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

void FlexGrid::SetCols(int cols) {
  cols = std::max(cols, 1);
  if (cols == model_->cols_) return;
  const int old = model_->cols_;
  const int rows = StoredRows();
  std::vector<QString> cells(size_t(rows) * size_t(cols));
  std::unordered_map<std::int64_t, GridModel::CellStyle> styles;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < std::min(old, cols); ++c) {
      cells[size_t(r) * cols + c] = std::move(model_->cells_[size_t(r) * old + c]);
      if (auto it = model_->styles_.find(std::int64_t(r) * old + c); it != model_->styles_.end())
        styles[std::int64_t(r) * cols + c] = it->second;
    }
  }
  model_->cells_ = std::move(cells);
  model_->styles_ = std::move(styles);
  model_->cols_ = cols;
  model_->ForgetRanks();
  colWidths_.resize(size_t(cols), -1);
  if (col_ >= cols) col_ = cols - 1;
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

void FlexGrid::SetFixedRows(int fixed) {
  fixed = std::clamp(fixed, 0, 1);
  if (fixed == model_->fixedRows_) return;
  if (model_->source_) SetRowSource(nullptr);
  model_->fixedRows_ = fixed;
  model_->ForgetRanks();
  if (model_->rows_ < fixed) SetRows(fixed);
  horizontalHeader()->setVisible(fixed > 0);
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

QString FlexGrid::TextMatrix(int row, int col) const {
  if (!ValidCell(row, col)) return {};
  if (model_->source_ && row >= model_->fixedRows_) {
    const int r = row - model_->fixedRows_;
    return r < model_->source_->RowCount() ? model_->source_->Cell(r, col) : QString();
  }
  return model_->cells_[size_t(model_->Key(row, col))];
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
  if (!ValidCell(row, col)) return;
  if (model_->source_ && row >= model_->fixedRows_) return;  // the source's rows are read only
  model_->cells_[size_t(model_->Key(row, col))] = text;
  if (row >= model_->fixedRows_) model_->ForgetRanks(col);
  model_->CellChanged(row, col);
}

void FlexGrid::SetRow(int row) {
  row_ = row;
  SyncView();
}

void FlexGrid::SetCol(int col) {
  col_ = col;
  SyncView();
}

void FlexGrid::SetRowSource(std::shared_ptr<GridRowSource> source) {
  if (!source && !model_->source_) return;
  model_->source_ = std::move(source);
  model_->cells_.resize(size_t(model_->fixedRows_) * size_t(model_->cols_));
  model_->rows_ = model_->fixedRows_;
  model_->styles_.clear();
  model_->ForgetRanks();
  if (model_->source_) {
    SourceReset();
    return;
  }
  Republish();
}

void FlexGrid::SourceReset() {
  if (!model_->source_) return;
  model_->styles_.clear();
  model_->ForgetRanks();
  // An empty list still shows one (empty) row below the header.
  model_->rows_ = model_->fixedRows_ + std::max(1, model_->source_->RowCount());
  if (row_ >= model_->rows_) row_ = model_->rows_ - 1;
  Republish();
}

void FlexGrid::Republish() {
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

namespace {

// A match on UTF-8 asked of each cell as text.
std::function<bool(const QString&)> Utf8Match(const std::function<bool(std::string_view)>& match) {
  return [&match](const QString& cell) {
    const QByteArray utf8 = cell.toUtf8();
    return match(std::string_view(utf8.constData(), size_t(utf8.size())));
  };
}

}  // namespace

int GridRowSource::FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match) {
  return FindRow(col, from, Utf8Match(match));
}

int FlexGrid::FindRow(int col, int from, const std::function<bool(const QString&)>& match) {
  const int first = model_->fixedRows_;
  from = std::max(from, first);
  if (col < 0 || col >= model_->cols_) return -1;
  if (model_->source_) {
    // Kept while it searches, should the windows it keeps painted replace it.
    const std::shared_ptr<GridRowSource> source = model_->source_;
    const int r = source->FindRow(col, from - first, match);
    return r < 0 ? -1 : r + first;
  }
  for (int r = from; r < model_->rows_; ++r)
    if (match(model_->cells_[size_t(model_->Key(r, col))])) return r;
  return -1;
}

int FlexGrid::FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match) {
  if (model_->source_ && col >= 0 && col < model_->cols_) {
    const std::shared_ptr<GridRowSource> source = model_->source_;
    const int first = model_->fixedRows_;
    const int r = source->FindRowUtf8(col, std::max(from, first) - first, match);
    return r < 0 ? -1 : r + first;
  }
  return FindRow(col, from, Utf8Match(match));
}

void FlexGrid::Clear() {
  std::fill(model_->cells_.begin(), model_->cells_.end(), QString());
  model_->ForgetRanks();
  model_->styles_.clear();
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

int FlexGrid::CellCheckedAt(int row, int col) const {
  if (!ValidCell(row, col)) return 0;
  auto it = model_->styles_.find(model_->Key(row, col));
  return it == model_->styles_.end() ? 0 : it->second.check;
}

void FlexGrid::SetCellCheckedAt(int row, int col, int state) {
  if (!ValidCell(row, col) || state < 0 || state > 2) return;
  model_->styles_[model_->Key(row, col)].check = state;
  model_->CellChanged(row, col);
}

int FlexGrid::ColWidth(int col) const {
  if (col < 0 || col >= int(colWidths_.size())) return -1;
  return colWidths_[size_t(col)];
}

void FlexGrid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= model_->cols_) return;
  colWidths_[size_t(col)] = std::max(0, twips);
  if (model_->redraw_ && !model_->dirty_) ApplyColumns();
}

void FlexGrid::SetRowHeight(int row, int twips) {
  if (row < 0 || row >= model_->rows_) return;
  const int px = std::max(1, twips / kTwipsPerPixel);
  if (row < model_->fixedRows_) {
    horizontalHeader()->setMinimumHeight(px);
  } else if (row - model_->fixedRows_ < model_->rowCount()) {
    setRowHeight(row - model_->fixedRows_, px);
  }
}

void FlexGrid::ApplyColumns() {
  for (int c = 0; c < model_->shownCols_ && c < int(colWidths_.size()); ++c) {
    const int w = colWidths_[size_t(c)];
    if (w < 0) continue;
    setColumnHidden(c, w == 0);
    if (w > 0) setColumnWidth(c, std::max(1, w / kTwipsPerPixel));
  }
}

void FlexGrid::SetRedraw(bool on) {
  if (model_->redraw_ == on) return;
  model_->redraw_ = on;
  if (!on) return;
  if (model_->dirty_) {
    model_->Publish();
  }
  ApplyColumns();
  SyncView();
  if (pendingTop_ >= 0) SetTopRow(pendingTop_);
}

void FlexGrid::SyncView() {
  if (!model_->redraw_ || model_->dirty_ || syncing_) return;
  if (row_ < model_->fixedRows_ || row_ >= model_->rows_ || col_ < 0 || col_ >= model_->cols_) return;
  syncing_ = true;
  const QModelIndex i = model_->index(row_ - model_->fixedRows_, col_);
  // A grid on a hidden tab would otherwise scroll to this cell when its tab
  // is next shown, away from the top row the code set: the grid would show
  // other rows than TopRow() reports.
  const bool scroll = hasAutoScroll();
  if (!isVisible()) setAutoScroll(false);
  selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
  setAutoScroll(scroll);
  syncing_ = false;
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  row_ = current.row() + model_->fixedRows_;
  col_ = current.column();
}

GenericSortKey MakeGenericSortKey(const QString& cell) {
  GenericSortKey k;
  const QStringView trimmed = QStringView(cell).trimmed();
  if (!trimmed.isEmpty()) k.value = trimmed.toDouble(&k.number);
  k.text = cell.toStdString();
  return k;
}

int CompareGeneric(bool aNumber, double aValue, std::string_view aText, bool bNumber, double bValue,
                   std::string_view bText) {
  if (aNumber && bNumber) return aValue < bValue ? -1 : (bValue < aValue ? 1 : 0);
  return vb::CompareLetters(aText, bText);  // a number against text compares as the texts do
}

void GenericColumn::Clear() {
  text_.clear();
  at_.clear();
  numbers_.clear();
}

void GenericColumn::Reset(size_t n) {
  Clear();
  at_.assign(n, {0, 0});
  numbers_.assign(n, Number{});
}

void GenericColumn::Set(size_t i, const QString& cell) {
  const QByteArray utf8 = cell.toUtf8();
  Set(i, cell, std::string_view(utf8.constData(), size_t(utf8.size())));
}

void GenericColumn::Set(size_t i, const QString& cell, std::string_view utf8) {
  at_[i] = {std::uint32_t(text_.size()), std::uint32_t(utf8.size())};
  text_.append(utf8);
  // Numbers sort as numbers, as MakeGenericSortKey reads them.
  const QStringView trimmed = QStringView(cell).trimmed();
  Number& k = numbers_[i];
  k = Number{};
  if (!trimmed.isEmpty()) k.value = trimmed.toDouble(&k.number);
}

void GenericColumn::SetUtf8(size_t i, std::string_view text) {
  if (!std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    Set(i, QString::fromUtf8(text.data(), qsizetype(text.size())));
    return;
  }
  // Only a text whose first character after the spaces (as QChar::isSpace
  // has them) is a digit, a sign, a point or the start of "inf" or "nan"
  // can read as a number; the rest need no QString.
  auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  const auto first = std::find_if_not(text.begin(), text.end(), space);
  if (first != text.end() && (std::isdigit(static_cast<unsigned char>(*first)) ||
                              std::string_view("+-.iInN").find(*first) != std::string_view::npos)) {
    Set(i, QString::fromLatin1(text.data(), qsizetype(text.size())), text);
    return;
  }
  at_[i] = {std::uint32_t(text_.size()), std::uint32_t(text.size())};
  text_.append(text);
  numbers_[i] = Number{};
}

void GenericColumn::Permute(const std::vector<std::uint32_t>& by) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> at(by.size());
  std::vector<Number> numbers(by.size());
  for (size_t i = 0; i < by.size(); ++i) {
    at[i] = at_[by[i]];
    numbers[i] = numbers_[by[i]];
  }
  at_ = std::move(at);
  numbers_ = std::move(numbers);
}

std::vector<std::uint32_t> GenericStableOrder(const GenericColumn& column, bool ascending) {
  const size_t n = column.Size();
  const auto numbers = std::count_if(column.numbers_.begin(), column.numbers_.end(), [](const auto& x) { return x.number; });
  const bool unordered = std::any_of(column.numbers_.begin(), column.numbers_.end(),
                                     [](const auto& x) { return x.number && std::isnan(x.value); });
  if (size_t(numbers) == n && !unordered) {
    // Numbers alone: their values and positions sorted as plain pairs, the
    // position breaking ties (which makes the sort stable).
    std::vector<std::pair<double, std::uint32_t>> values(n);
    for (size_t i = 0; i < n; ++i) values[i] = {column.numbers_[i].value, std::uint32_t(i)};
    if (ascending)
      std::sort(values.begin(), values.end());
    else
      std::sort(values.begin(), values.end(), [](const auto& x, const auto& y) {
        return x.first != y.first ? x.first > y.first : x.second < y.second;
      });
    std::vector<std::uint32_t> by(n);
    for (size_t i = 0; i < n; ++i) by[i] = values[i].second;
    return by;
  }
  // Each cell's letter key at hand, so that texts are not decoded at every
  // comparison.
  const vb::LetterSortKeys keys(n, [&column](size_t i) { return column.Text(i); });
  // Texts alone sort on their keys' first bytes.
  if (numbers == 0) return keys.StableOrder(ascending);
  // CompareGeneric, pair by pair: the same answers, so the same order even
  // where numbers and texts mixed in one column make the order circular;
  // such a column is sorted in one piece, so that it keeps the order it had.
  auto compare = [&](std::uint32_t a, std::uint32_t b) {
    const auto& x = column.numbers_[a];
    const auto& y = column.numbers_[b];
    if (x.number && y.number) return x.value < y.value ? -1 : (y.value < x.value ? 1 : 0);
    return keys.Compare(a, b);
  };
  std::vector<std::uint32_t> by(n);
  for (size_t i = 0; i < n; ++i) by[i] = std::uint32_t(i);
  if (ascending)
    std::stable_sort(by.begin(), by.end(), [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
  else
    std::stable_sort(by.begin(), by.end(), [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) > 0; });
  return by;
}

const std::vector<int>& GridModel::Ranks(int col) {
  if (ranks_.size() != size_t(cols_)) ranks_.assign(size_t(cols_), {});
  std::vector<int>& ranks = ranks_[size_t(col)];
  const int first = fixedRows_;
  const int n = std::max(0, rows_ - first);
  if (ranks.size() == size_t(n)) return ranks;
  std::vector<GenericSortKey> keys(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) keys[size_t(i)] = MakeGenericSortKey(cells_[size_t(Key(first + i, col))]);
  auto compare = [&](int a, int b) { return CompareGeneric(keys[size_t(a)], keys[size_t(b)]); };
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
  // Rows that compare equal share a rank.
  ranks.assign(size_t(n), 0);
  for (int i = 1; i < n; ++i) {
    const int prev = order[size_t(i - 1)];
    const int cur = order[size_t(i)];
    ranks[size_t(cur)] = compare(prev, cur) < 0 ? i : ranks[size_t(prev)];
  }
  return ranks;
}

void FlexGrid::Sort(int order) {
  if (order != flexSortGenericAscending && order != flexSortGenericDescending) return;
  const int first = model_->fixedRows_;
  const int rows = model_->rows_;
  const int cols = model_->cols_;
  const int col = col_;
  if (col < 0 || col >= cols) return;
  if (model_->source_) {
    // The cell colours stay with their rows.
    std::unordered_map<int, std::int64_t> rowKeys;  // styled row -> its key
    std::unordered_map<std::int64_t, GridModel::CellStyle> styles;
    for (auto& [key, style] : model_->styles_) {
      const int r = int(key / cols);
      if (r < first) styles[key] = style;
      else if (!rowKeys.count(r)) rowKeys[r] = model_->source_->RowKey(r - first);
    }
    // Kept while it sorts, should the windows it keeps painted replace it.
    const std::shared_ptr<GridRowSource> source = model_->source_;
    source->Sort(col, order == flexSortGenericAscending);
    std::unordered_map<int, int> moved;  // old row -> new row
    for (auto& [r, key] : rowKeys) {
      const int now = model_->source_->RowOfKey(key);
      if (now >= 0) moved[r] = first + now;
    }
    for (auto& [key, style] : model_->styles_) {
      const int r = int(key / cols);
      if (r < first) continue;
      if (auto it = moved.find(r); it != moved.end()) styles[model_->Key(it->second, int(key % cols))] = style;
    }
    model_->styles_ = std::move(styles);
    Republish();
    return;
  }
  if (rows - first < 2) return;
  const int n = rows - first;
  const std::vector<int>& ranks = model_->Ranks(col);
  std::vector<int> order_(static_cast<size_t>(n));
  std::iota(order_.begin(), order_.end(), 0);
  const bool ascending = order == flexSortGenericAscending;
  if (ascending)
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return ranks[size_t(a)] < ranks[size_t(b)]; });
  else
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return ranks[size_t(a)] > ranks[size_t(b)]; });
  // The known ranks move with their rows.
  for (std::vector<int>& known : model_->ranks_) {
    if (known.size() != size_t(n)) continue;
    std::vector<int> moved(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) moved[size_t(i)] = known[size_t(order_[size_t(i)])];
    known = std::move(moved);
  }
  std::vector<QString> cells(size_t(n) * size_t(cols));
  std::unordered_map<std::int64_t, GridModel::CellStyle> styles;
  std::vector<int> newPos(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) newPos[size_t(order_[size_t(i)])] = i;
  for (int i = 0; i < n; ++i) {
    const int from = first + order_[size_t(i)];
    for (int c = 0; c < cols; ++c) cells[size_t(i) * cols + c] = std::move(model_->cells_[size_t(model_->Key(from, c))]);
  }
  for (auto& [key, style] : model_->styles_) {
    const int r = int(key / cols);
    const int c = int(key % cols);
    if (r < first) styles[key] = style;
    else styles[model_->Key(first + newPos[size_t(r - first)], c)] = style;
  }
  std::move(cells.begin(), cells.end(), model_->cells_.begin() + std::ptrdiff_t(first) * cols);
  model_->styles_ = std::move(styles);
  model_->dirty_ = true;
  if (model_->redraw_) {
    model_->Publish();
    ApplyColumns();
    SyncView();
  }
}

int FlexGrid::TopRow() const {
  if (pendingTop_ >= 0) return pendingTop_;
  return verticalScrollBar()->value() + model_->fixedRows_;
}

void FlexGrid::SetTopRow(int row) {
  if (row < model_->fixedRows_ || row >= model_->rows_) return;
  if (!model_->redraw_ || model_->dirty_) {
    pendingTop_ = row;
    return;
  }
  pendingTop_ = -1;
  updateGeometries();  // the scroll range must know the current row count
  verticalScrollBar()->setValue(row - model_->fixedRows_);
}

void FlexGrid::SetCellBackColor(int row, int col, const QColor& color) {
  if (!ValidCell(row, col)) return;
  model_->styles_[model_->Key(row, col)].back = color;
  model_->CellChanged(row, col);
}

void FlexGrid::SetCellForeColor(int row, int col, const QColor& color) {
  if (!ValidCell(row, col)) return;
  model_->styles_[model_->Key(row, col)].fore = color;
  model_->CellChanged(row, col);
}

void FlexGrid::SetCellFloodPercent(int row, int col, int percent) {
  if (!ValidCell(row, col)) return;
  model_->styles_[model_->Key(row, col)].flood = std::clamp(percent, 0, 100);
  model_->CellChanged(row, col);
}

int FlexGrid::CellFloodPercent(int row, int col) const {
  auto it = model_->styles_.find(model_->Key(row, col));
  return ValidCell(row, col) && it != model_->styles_.end() ? it->second.flood : 0;
}

QColor FlexGrid::CellBackColor(int row, int col) const {
  auto it = model_->styles_.find(model_->Key(row, col));
  return ValidCell(row, col) && it != model_->styles_.end() ? it->second.back : QColor();
}

void FlexGrid::SetFloodColor(const QColor& color) {
  model_->floodColor_ = color;
  viewport()->update();
}

void FlexGrid::SetEditable(bool editable) {
  model_->editable_ = editable;
  setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed
                           : QAbstractItemView::NoEditTriggers);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
  const Qt::MouseButton button = event->button();
  const QPoint global = event->globalPosition().toPoint();
  const bool onCell = indexAt(event->position().toPoint()).isValid();
  QTableView::mouseReleaseEvent(event);
  if (button == Qt::LeftButton && onCell) emit Click();
  emit MouseUp(button, global);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const bool onCell = indexAt(event->position().toPoint()).isValid();
  QTableView::mouseDoubleClickEvent(event);
  if (onCell) emit DblClick();
}

}  // namespace forms

#pragma once
// The grid control of the record lists: rows and columns of cell texts,
// row 0 the fixed header row, a current row and column, sorting by a
// column, redraw that can be suspended, cell colours. Built on Qt's
// model/view: the texts live in one flat table of strings, the view paints
// only the rows on screen, so 100,000 rows fill and scroll quickly.
//
// Rows and columns count from 0 and include the fixed header row, as the
// window code addresses them: with FixedRows 1, row 0 is the header shown
// above the data and rows 1 .. Rows()-1 are data rows. Widths and heights
// are in twips (15 twips to the pixel); a column of width 0 is hidden.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QTableView>

namespace forms {

// Sort codes: the generic order compares numbers as numbers and other
// text as text, without regard to letter case.
enum GridSort : int { flexSortNone = 0, flexSortGenericAscending = 1, flexSortGenericDescending = 2 };

// The generic order of a cell's text: numbers compare as numbers, other
// text letter by letter as titles are read (accents with their letter,
// without regard to case); a number against text compares as the texts.
struct GenericSortKey {
  bool number = false;
  double value = 0;
  std::string text;  // UTF-8
};
GenericSortKey MakeGenericSortKey(const QString& cell);
int CompareGeneric(bool aNumber, double aValue, std::string_view aText, bool bNumber, double bValue,
                   std::string_view bText);
inline int CompareGeneric(const GenericSortKey& a, const GenericSortKey& b) {
  return CompareGeneric(a.number, a.value, a.text, b.number, b.value, b.text);
}

// The cells of one column of many rows, for sorting them in the generic
// order at once.
class GenericColumn {
 public:
  size_t Size() const { return at_.size(); }
  void Clear();
  // Room for n cells, all empty; Set fills them in any order.
  void Reset(size_t n);
  void Set(size_t i, const QString& cell);
  // The same with the cell's UTF-8 at hand (cell.toUtf8()).
  void Set(size_t i, const QString& cell, std::string_view utf8);
  // The cell QString::fromUtf8 reads from text; plain ASCII is taken as
  // it is, without a QString.
  void SetUtf8(size_t i, std::string_view text);
  std::string_view Text(size_t i) const { return std::string_view(text_).substr(at_[i].first, at_[i].second); }
  // Whether cell i sorts as a number.
  bool IsNumber(size_t i) const { return numbers_[i].number; }
  // Puts the cells in the order of `by` (cell i becomes cell by[i]).
  void Permute(const std::vector<std::uint32_t>& by);

 private:
  friend std::vector<std::uint32_t> GenericStableOrder(const GenericColumn& column, bool ascending);
  struct Number {
    bool number = false;
    double value = 0;
  };
  std::string text_;                                       // the cells' UTF-8, one after another
  std::vector<std::pair<std::uint32_t, std::uint32_t>> at_;  // offset, length
  std::vector<Number> numbers_;
};

// Where each cell goes in a stable sort of the column in the generic order
// (the cell that comes i-th is by[i]): exactly the order a stable sort that
// compares the cells pair by pair with CompareGeneric gives, found without
// decoding the texts at every comparison. Pure work on the column, which
// may run on a thread of its own.
std::vector<std::uint32_t> GenericStableOrder(const GenericColumn& column, bool ascending);

// Data rows kept outside the grid and read as the view shows them, for
// lists far longer than the grid should copy (a whole collection). Rows
// count from 0, the first data row.
class GridRowSource {
 public:
  virtual ~GridRowSource() = default;
  virtual int RowCount() = 0;
  virtual QString Cell(int row, int col) = 0;
  // Sorts the rows on a column in the generic order; rows that compare
  // equal keep their order.
  virtual void Sort(int col, bool ascending) = 0;
  // The first row from `from` on whose cell in col satisfies match, or -1.
  virtual int FindRow(int col, int from, const std::function<bool(const QString&)>& match) = 0;
  // The same with each cell as UTF-8: a source that keeps its cells so
  // spares a conversion a row.
  virtual int FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match);
  // An identity of a row that a sort keeps, and the row holding it now
  // (-1 when none does).
  virtual std::int64_t RowKey(int row) = 0;
  virtual int RowOfKey(std::int64_t key) = 0;
};

class GridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit GridModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  void Edited(int row, int col);  // the user changed a cell (grid rows)

 private:
  friend class FlexGrid;
  struct CellStyle {
    QColor back;
    QColor fore;
    int flood = 0;  // per cent
    int check = 0;  // check box: 0 none, 1 ticked, 2 unticked
  };
  std::int64_t Key(int row, int col) const { return std::int64_t(row) * cols_ + col; }
  void Publish();  // tells the view everything changed
  void CellChanged(int row, int col);
  // Sort ranks of the data rows by column, worked out on the first sort of
  // a column and kept (moving with the rows) until a cell of it changes:
  // sorting again, either way, compares numbers instead of texts.
  const std::vector<int>& Ranks(int col);
  void ForgetRanks(int col) {
    if (col >= 0 && size_t(col) < ranks_.size()) ranks_[size_t(col)].clear();
  }
  void ForgetRanks() { ranks_.clear(); }

  int rows_ = 2;
  int cols_ = 2;
  int fixedRows_ = 1;
  int shownRows_ = 2;  // what the view was last told
  int shownCols_ = 2;
  bool redraw_ = true;
  bool dirty_ = false;
  bool editable_ = false;
  QColor floodColor_ = QColor(0, 0, 128);
  std::vector<QString> cells_;
  std::unordered_map<std::int64_t, CellStyle> styles_;
  std::vector<std::vector<int>> ranks_;  // by column; empty when not known
  // With a source, cells_ holds the fixed rows only.
  std::shared_ptr<GridRowSource> source_;
};

class FlexGrid : public QTableView {
  Q_OBJECT
 public:
  explicit FlexGrid(QWidget* parent = nullptr);

  int Rows() const { return model_->rows_; }
  void SetRows(int rows);  // keeps the texts of the rows that stay
  int Cols() const { return model_->cols_; }
  void SetCols(int cols);
  int FixedRows() const { return model_->fixedRows_; }
  void SetFixedRows(int fixed);  // 0 or 1

  QString TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);

  // The current cell; row 0 (the header) may be current for reading and
  // writing its text, but is never selected on screen.
  int Row() const { return row_; }
  void SetRow(int row);
  int Col() const { return col_; }
  void SetCol(int col);
  QString Text() const { return TextMatrix(row_, col_); }
  void SetText(const QString& text) { SetTextMatrix(row_, col_, text); }

  // Empties every cell (the row and column counts stay).
  void Clear();

  // Shows the data rows of a source (the fixed row stays the grid's own);
  // nullptr, or SetRows, goes back to rows of the grid's own. A source
  // without rows shows one empty row. Cell colours are cleared.
  void SetRowSource(std::shared_ptr<GridRowSource> source);
  GridRowSource* RowSource() const { return model_->source_.get(); }
  // The same, to be kept while work that lets the windows paint uses it.
  std::shared_ptr<GridRowSource> SharedRowSource() const { return model_->source_; }
  // The source's rows changed (it was read again): the grid shows them
  // from the first, without cell colours.
  void SourceReset();

  // The first data row from `from` on whose cell in col satisfies match,
  // or -1.
  int FindRow(int col, int from, const std::function<bool(const QString&)>& match);
  int FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match);

  int ColWidth(int col) const;  // twips; -1 when never set
  void SetColWidth(int col, int twips);
  void SetRowHeight(int row, int twips);

  bool Redraw() const { return model_->redraw_; }
  void SetRedraw(bool on);

  // Sorts the data rows (below the fixed row) on the current column.
  void Sort(int order);

  int TopRow() const;
  // Scrolls the row to the top of the view; with redraw off, once redraw
  // resumes.
  void SetTopRow(int row);

  // Cell colours; a flood of 100 per cent paints the cell in FloodColor.
  void SetCellBackColor(int row, int col, const QColor& color);
  void SetCellForeColor(int row, int col, const QColor& color);
  void SetCellFloodPercent(int row, int col, int percent);
  int CellFloodPercent(int row, int col) const;
  QColor CellBackColor(int row, int col) const;
  QColor FloodColor() const { return model_->floodColor_; }
  void SetFloodColor(const QColor& color);

  // Check boxes of cells: 1 ticked, 2 unticked, 0 no check box. The grid
  // never flips a box by itself; the window decides what a click does.
  enum CheckState : int { flexNoCheckbox = 0, flexChecked = 1, flexUnchecked = 2 };
  int CellChecked() const { return CellCheckedAt(row_, col_); }
  void SetCellChecked(int state) { SetCellCheckedAt(row_, col_, state); }
  int CellCheckedAt(int row, int col) const;
  void SetCellCheckedAt(int row, int col, int state);

  // Lets the user type into data cells (the header stays read-only).
  void SetEditable(bool editable);

  GridModel* Model() const { return model_; }

 signals:
  void Click();                                      // a cell was clicked
  void DblClick();                                   // a cell was double-clicked
  void MouseUp(Qt::MouseButton button, const QPoint& globalPos);
  void CellEdited(int row, int col);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  bool ValidCell(int row, int col) const;
  int StoredRows() const { return model_->source_ ? model_->fixedRows_ : model_->rows_; }
  void Republish();
  void SyncView();      // view current cell and columns from the grid's state
  void ApplyColumns();
  GridModel* model_;
  int row_ = 1;
  int col_ = 0;
  bool syncing_ = false;
  int pendingTop_ = -1;
  std::vector<int> colWidths_;
};

}  // namespace forms

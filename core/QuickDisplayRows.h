#pragma once
// The rows of a quick display, read as the grid shows them. A collection
// of a million items would not fit in the grid as text, so the grid keeps
// only the order of the rows (one key a row) and reads the rows it paints
// a page at a time, each page by one query on the row keys. Sorting a
// column and finding a row read that one column of every row.
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "platform/dao/Dao.h"
#include "platform/forms/FlexGrid.h"

namespace tvn {

// What one quick display lists and how.
struct QuickListLayout {
  std::vector<int> widths;            // twips, one per grid column
  std::vector<const char*> captions;  // one per grid column (column 0 has none)
  std::string table;                  // the table of the listed rows
  // "from ..." naming the table, with any joins; rowid names the listed
  // table's row key in it.
  std::string from;
  std::string rowid;
  std::vector<std::string> fields;  // the expression of each field
  std::vector<int> gridCol;         // the grid column of each field
  int dateField = -1;               // the field shown as "mm/dd/yyyy" (or empty)
  // The rows are listed by section, each section's rows by name in the
  // order titles are read; sections in ascending number unless this says
  // that section a comes before section b.
  std::function<std::function<bool(const vb::Variant&, const vb::Variant&)>(dao::Database&)> sectionOrder;
};

// The media quick display: every record of the collection with its
// section, name, first artist, category, label, catalogue number and date
// acquired; column 0 (hidden) the section number.
const QuickListLayout& MediaQuickList();

// The keys of the table's rows by section number, and within a section by
// name letter by letter as titles are read ("Éclair" among the E). The
// section-and-name index serves the order of names of plain ASCII, on
// which it agrees with the letter order; names beyond ASCII are put in
// their places among them here. busy, when given, runs once per row and
// while the engine reads (the rows are then read aside).
std::vector<std::int64_t> ListingOrder(dao::Database& db, const QuickListLayout& layout,
                                       const std::function<void()>& busy = {});

// Quick Jump's view of a cell: its first n characters as the typed text
// counts them (UTF-16 units), as UTF-8. A cell of plain ASCII is cut as it
// stands; scratch holds the cut of any other.
std::string_view CellHead(std::string_view cell, qsizetype n, std::string& scratch);

class QuickListRows : public forms::GridRowSource {
 public:
  QuickListRows(std::function<dao::Database&()> db, const QuickListLayout& layout);

  // Lists the rows in the listing order again; the rows are read as shown.
  // After a few changes made through the same database (a record saved)
  // only the changed rows are put in their places; otherwise, or when the
  // count of rows disagrees, the order is read again.
  void Refill(const std::function<void()>& busy = {});

  int RowCount() override { return int(order_.size()); }
  QString Cell(int row, int col) override;
  void Sort(int col, bool ascending) override;
  int FindRow(int col, int from, const std::function<bool(const QString&)>& match) override;
  int FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match) override;
  // Quick Jump on rows just sorted ascending on col: the first row whose
  // cell, cut to the length of text, stands at or after text in the letter
  // order (equals it, when prefixOnly); -1 when none does. The rows found
  // are those a scan from the top finds; where the sort put the cells in
  // the order of their letters, the rows before the text are passed over
  // by halving.
  int JumpRow(int col, const QString& text, bool prefixOnly);
  std::int64_t RowKey(int row) override;
  int RowOfKey(std::int64_t key) override;

  // Pages read from the database since the rows were listed, and whether
  // the last refill read the order of every row (for tests).
  long PagesRead() const { return pagesRead_; }
  bool ReadWholeOrder() const { return readWholeOrder_; }
  // Keeps the windows painted while a column of every row is read,
  // sorted or searched: called at least every few tens of milliseconds.
  void SetBusy(std::function<void()> busy) { busy_ = std::move(busy); }

 private:
  struct Page {
    int index;
    std::vector<QString> cells;  // rows x columns
  };
  const Page& PageOf(int row);
  int FieldOfColumn(int col) const;
  QString Text(const vb::Variant& value, int field) const;
  // The display text of one column for every row, by position, and the
  // select that reads the row keys with the field's values.
  void ReadColumn(int col);
  std::string ColumnSelect(int field) const;
  // Puts the changed rows in their places in the listing order; false
  // when the order must be read again.
  bool FollowChanges();
  // Whether the cached column holds the cells the rows were last sorted
  // on, ascending, each cell's letter key made of one letter a character
  // (no number among them, and no text the letter key and the typed
  // text's count of characters could read apart).
  bool ColumnInLetterOrder();

  // The listing order (rows not sorted since the last refill).
  bool listed_ = false;
  std::uint64_t mark_ = 0;
  bool readWholeOrder_ = false;
  // The last sort, kept until the order changes: sorting again the same
  // way keeps every row where it is.
  int sortedCol_ = -1;
  bool sortedAscending_ = true;
  // Counts the times the order was replaced, so that a sort that ran
  // while the windows were painted knows when a refill overtook it.
  std::uint64_t generation_ = 0;

  std::function<dao::Database&()> db_;
  QuickListLayout layout_;
  int cols_;
  std::vector<std::int64_t> order_;
  std::list<Page> pages_;  // most recently used first
  long pagesRead_ = 0;
  // A failure of the file met while painting has been told (once a listing).
  bool fileFailureTold_ = false;
  std::function<void()> busy_;
  // One column's cells in the rows' present order.
  int columnCached_ = -1;
  forms::GenericColumn column_;
  // The cached column is that of the last ascending sort, in its order;
  // and whether its cells allow halving (-1 not looked at yet).
  bool columnSorted_ = false;
  int columnHalvable_ = -1;
};

}  // namespace tvn

#include "core/QuickDisplayRows.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <numeric>

#include "core/TavolinModule.h"
#include "platform/dao/RowStream.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/TextFold.h"

namespace tvn {

namespace {

constexpr int kPageRows = 128;
constexpr size_t kPagesKept = 24;  // several screens' worth, whatever the collection's size

bool SameSection(const vb::Variant& a, const vb::Variant& b) {
  if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
  if (vb::IsNumeric(a) && vb::IsNumeric(b)) return vb::CDbl(a) == vb::CDbl(b);
  return vb::CStr(a) == vb::CStr(b);
}

bool Wide(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Whether a text is one character a UTF-16 unit, read alike as a QString
// and by the letter key: well-formed UTF-8 of the basic plane. A character
// beyond it is two units to the typed text's count (a cut may fall between
// them), a malformed sequence is replaced differently by the two readers,
// and a byte order mark may be dropped by one of them.
bool OneUnitACharacter(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char c = at(0);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = 3;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c == 0xE0) low = 0xA0;     // no overlong form
    else if (c == 0xED) high = 0x9F;    // no surrogate
    else if (c < 0xE1 || c > 0xEF) return false;
    if (i + length > text.size() || at(1) < low || at(1) > high) return false;
    if (length == 3 && (at(2) & 0xC0) != 0x80) return false;
    if (c == 0xEF && at(1) == 0xBB && at(2) == 0xBF) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string_view CellHead(std::string_view cell, qsizetype n, std::string& scratch) {
  const std::string_view ascii = cell.substr(0, size_t(std::max<qsizetype>(0, n)));
  if (!Wide(ascii)) return ascii;
  const QByteArray utf8 = QString::fromUtf8(cell.data(), qsizetype(cell.size())).left(n).toUtf8();
  scratch.assign(utf8.constData(), size_t(utf8.size()));
  return scratch;
}

std::vector<std::int64_t> ListingOrder(dao::Database& db, const QuickListLayout& layout,
                                       const std::function<void()>& busy) {
  struct Entry {
    std::int64_t id;
    std::uint32_t off, len;
    bool null;
  };
  struct Group {
    vb::Variant section;
    size_t begin, end;
  };
  std::vector<std::int64_t> order;
  std::vector<Group> groups;
  // The rows of the section being read, with their names until it ends.
  std::string names;
  std::vector<Entry> plain, wide;
  auto name = [&](const Entry& e) { return std::string_view(names).substr(e.off, e.len); };
  auto endSection = [&] {
    if (groups.empty()) return;
    if (wide.empty()) {
      for (const Entry& e : plain) order.push_back(e.id);
    } else {
      // The index gave the plain names in the letter order already; the
      // others go between them where the letter order puts them.
      // Many of them are sorted aside while the windows are painted.
      constexpr size_t kManyWide = 4096;
      vb::RunAside(
          [&] {
            std::stable_sort(wide.begin(), wide.end(),
                             [&](const Entry& a, const Entry& b) { return vb::CompareLetters(name(a), name(b)) < 0; });
          },
          wide.size() > kManyWide ? busy : std::function<void()>());
      size_t w = 0;
      for (const Entry& e : plain) {
        while (w < wide.size() && !e.null && vb::CompareLetters(name(wide[w]), name(e)) < 0) order.push_back(wide[w++].id);
        order.push_back(e.id);
        if (busy) busy();
      }
      for (; w < wide.size(); ++w) order.push_back(wide[w].id);
    }
    groups.back().end = order.size();
    names.clear();
    plain.clear();
    wide.clear();
  };
  // The names of plain ASCII come in the index's order; "collate binary"
  // and "collate nocase" are the index's own, so that it serves the order.
  // The engine's steps run aside while the windows are painted: one step
  // may wait long on a cold disk or a loaded machine.
  dao::RowStream rows(db.shared_from_this(),
                      "select _rowid_, sectionnumber, name from " + layout.table +
                          " order by sectionnumber collate binary, name collate nocase",
                      busy, false);
  while (rows.Next()) {
    const vb::Variant section = rows.Field(1);
    if (groups.empty() || !SameSection(groups.back().section, section)) {
      endSection();
      groups.push_back({section, order.size(), order.size()});
    }
    const vb::Variant value = rows.Field(2);
    Entry e{std::int64_t(vb::CDbl(rows.Field(0))), 0, 0, value.isNull()};
    const std::string text = e.null ? std::string() : vb::CStr(value);
    e.off = std::uint32_t(names.size());
    e.len = std::uint32_t(text.size());
    names += text;
    (Wide(text) ? wide : plain).push_back(e);
    if (busy) busy();
  }
  endSection();
  if (!layout.sectionOrder || groups.size() < 2) return order;
  const auto before = layout.sectionOrder(db);
  std::stable_sort(groups.begin(), groups.end(),
                   [&](const Group& a, const Group& b) { return before(a.section, b.section); });
  std::vector<std::int64_t> sorted;
  sorted.reserve(order.size());
  for (const Group& g : groups) sorted.insert(sorted.end(), order.begin() + long(g.begin), order.begin() + long(g.end));
  return sorted;
}

const QuickListLayout& MediaQuickList() {
  static const QuickListLayout layout{
      {0, 1000, 2500, 1800, 1300, 1800, 1300, 1000},
      {"", "Section", "Name", "Artist", "Category", "Publisher/Studio", "Catolog #", "Aquired On"},
      "mediadata",
      "from mediadata",
      "_rowid_",
      {"section", "sectionnumber", "name", "artist1", "category", "labelstudio", "cat_number", "date_aquired"},
      {1, 0, 2, 3, 4, 5, 6, 7},
      7,
      {},
  };
  return layout;
}

QuickListRows::QuickListRows(std::function<dao::Database&()> db, const QuickListLayout& layout)
    : db_(std::move(db)), layout_(layout), cols_(int(layout.widths.size())) {}

void QuickListRows::Refill(const std::function<void()>& busy) {
  dao::Database& db = db_();
  const std::uint64_t mark = db.ChangeMark();
  readWholeOrder_ = !(listed_ && FollowChanges());
  if (readWholeOrder_) order_ = ListingOrder(db, layout_, busy);
  listed_ = true;
  mark_ = mark;
  pages_.clear();
  pagesRead_ = 0;
  fileFailureTold_ = false;
  columnCached_ = -1;
  sortedCol_ = -1;
  column_.Clear();
  columnSorted_ = false;
  columnHalvable_ = -1;
  ++generation_;
}

bool QuickListRows::FollowChanges() {
  dao::Database& db = db_();
  std::vector<std::int64_t> changed;
  if (!db.ChangedRowsSince(mark_, layout_.table, changed)) return false;
  // Each changed row costs a few reads by key; many are cheaper read whole.
  constexpr size_t kFewChanges = 200;
  if (changed.size() > kFewChanges) return false;
  if (layout_.sectionOrder) {
    std::vector<std::int64_t> sections;
    if (!db.ChangedRowsSince(mark_, "sections", sections) || !sections.empty()) return false;
  }
  const auto before = layout_.sectionOrder ? layout_.sectionOrder(db) : nullptr;
  struct Key {
    vb::Variant section;
    vb::Variant name;
  };
  auto keyOf = [&](std::int64_t id, Key& key) {
    bool found = false;
    db.ForEachRow("select sectionnumber, name from " + layout_.table + " where _rowid_ = " + std::to_string(id),
                  [&](const std::vector<vb::Variant>& row) {
                    key = Key{row[0], row[1]};
                    found = true;
                    return false;
                  });
    return found;
  };
  // The listing's order of two rows: by section, then by name as titles
  // are read; no section and no name come first.
  auto less = [&](const Key& a, const Key& b) {
    if (!SameSection(a.section, b.section)) {
      if (a.section.isNull() || b.section.isNull()) return a.section.isNull();
      if (before) {
        if (before(a.section, b.section)) return true;
        if (before(b.section, a.section)) return false;
      }
      if (vb::IsNumeric(a.section) && vb::IsNumeric(b.section)) return vb::CDbl(a.section) < vb::CDbl(b.section);
      return vb::CStr(a.section) < vb::CStr(b.section);
    }
    if (a.name.isNull() || b.name.isNull()) return a.name.isNull() && !b.name.isNull();
    return vb::CompareLetters(vb::CStr(a.name), vb::CStr(b.name)) < 0;
  };
  std::erase_if(order_, [&](std::int64_t id) { return std::binary_search(changed.begin(), changed.end(), id); });
  for (std::int64_t id : changed) {
    Key key;
    if (!keyOf(id, key)) continue;  // deleted
    // Binary search over the listing, reading the rows it looks at.
    size_t lo = 0, hi = order_.size();
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      Key there;
      if (!keyOf(order_[mid], there)) return false;  // a row gone without being told
      if (less(key, there)) hi = mid;
      else lo = mid + 1;
    }
    order_.insert(order_.begin() + long(lo), id);
  }
  // A table emptied at once, or rows added by another connection, are not
  // told row by row: the count shows them.
  long count = -1;
  db.ForEachRow("select count(*) from " + layout_.table, [&](const std::vector<vb::Variant>& row) {
    count = long(vb::CDbl(row[0]));
    return false;
  });
  return count == long(order_.size());
}

int QuickListRows::FieldOfColumn(int col) const {
  for (size_t f = 0; f < layout_.gridCol.size(); ++f)
    if (layout_.gridCol[f] == col) return int(f);
  return -1;
}

QString QuickListRows::Text(const vb::Variant& value, int field) const {
  return QuickListCellText(value, field == layout_.dateField);
}

const QuickListRows::Page& QuickListRows::PageOf(int row) {
  const int index = row / kPageRows;
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if (it->index != index) continue;
    if (it != pages_.begin()) pages_.splice(pages_.begin(), pages_, it);
    return pages_.front();
  }
  const int first = index * kPageRows;
  const int count = std::min(kPageRows, int(order_.size()) - first);
  Page page{index, std::vector<QString>(size_t(count) * size_t(cols_))};
  // The page's rows by key; where each goes in the page.
  std::vector<std::pair<std::int64_t, int>> at;
  std::string ids;
  for (int i = 0; i < count; ++i) {
    const std::int64_t id = order_[size_t(first + i)];
    at.emplace_back(id, i);
    ids += (i ? "," : "") + std::to_string(id);
  }
  std::sort(at.begin(), at.end());
  std::string fields;
  for (const std::string& f : layout_.fields) fields += ", " + f;
  const std::string sql =
      "select " + layout_.rowid + fields + " " + layout_.from + " where " + layout_.rowid + " in (" + ids + ")";
  try {
    db_().ForEachRow(sql, [&](const std::vector<vb::Variant>& row) {
      const std::int64_t id = std::int64_t(vb::CDbl(row[0]));
      auto it = std::lower_bound(at.begin(), at.end(), std::make_pair(id, 0));
      if (it == at.end() || it->first != id) return true;
      for (size_t f = 0; f < layout_.fields.size(); ++f) {
        const int col = layout_.gridCol[f];
        if (col >= 0 && col < cols_) page.cells[size_t(it->second) * size_t(cols_) + size_t(col)] = Text(row[f + 1], int(f));
      }
      return true;
    });
  } catch (const vb::RuntimeError& e) {
    // Painting cannot report: the rows show empty and are read again when
    // next shown (the collection may have been closed under the window).
    // A damaged or failing file is told once the paint is over, on the
    // windows' one error path, so empty cells never stand for the file.
    if (const auto* file = dynamic_cast<const dao::FileError*>(&e); file && !fileFailureTold_) {
      fileFailureTold_ = true;
      QTimer::singleShot(0, qApp, [error = *file] { vb::TellError(error); });
    }
    static Page empty;
    empty = Page{-1, std::vector<QString>(size_t(count) * size_t(cols_))};
    return empty;
  }
  ++pagesRead_;
  pages_.push_front(std::move(page));
  if (pages_.size() > kPagesKept) pages_.pop_back();
  return pages_.front();
}

QString QuickListRows::Cell(int row, int col) {
  if (row < 0 || row >= int(order_.size()) || col < 0 || col >= cols_) return {};
  const Page& page = PageOf(row);
  const size_t i = size_t(row % kPageRows) * size_t(cols_) + size_t(col);
  return i < page.cells.size() ? page.cells[i] : QString();
}

namespace {

// Where each row key stands in the order: a table by key while the keys
// are dense enough (row keys usually are), else the keys sorted aside.
class Positions {
 public:
  Positions(const std::vector<std::int64_t>& order, const std::function<void()>& busy) {
    const auto [low, high] = std::minmax_element(order.begin(), order.end());
    if (*low >= 0 && *high < std::int64_t(order.size()) * 4 + 1024) {
      dense_.assign(size_t(*high) + 1, kNone);
      for (size_t i = 0; i < order.size(); ++i) dense_[size_t(order[i])] = std::uint32_t(i);
      return;
    }
    sorted_.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i) sorted_[i] = {order[i], std::uint32_t(i)};
    vb::RunAside([this] { std::sort(sorted_.begin(), sorted_.end()); }, busy);
  }
  // The row of key, or kNone.
  std::uint32_t Of(std::int64_t key) const {
    if (!sorted_.empty() || dense_.empty()) {
      auto it = std::lower_bound(sorted_.begin(), sorted_.end(), std::make_pair(key, std::uint32_t(0)));
      return it != sorted_.end() && it->first == key ? it->second : kNone;
    }
    return key >= 0 && size_t(key) < dense_.size() ? dense_[size_t(key)] : kNone;
  }
  static constexpr std::uint32_t kNone = 0xffffffffu;

 private:
  std::vector<std::uint32_t> dense_;
  std::vector<std::pair<std::int64_t, std::uint32_t>> sorted_;
};

}  // namespace

std::string QuickListRows::ColumnSelect(int field) const {
  const std::string& expression = layout_.fields[size_t(field)];
  // A field of the listed table itself is read from that table alone: a
  // join adds nothing to it (rows it leaves out or repeats are none or the
  // same of the listing), and without the joins an index holding the
  // field can serve it.
  const std::string prefix = vb::LCase(layout_.table) + ".";
  if (vb::LCase(expression).rfind(prefix, 0) == 0 && expression.find_first_of(".( ", prefix.size()) == std::string::npos)
    return "select _rowid_, " + expression.substr(prefix.size()) + " from " + layout_.table;
  return "select " + layout_.rowid + ", " + expression + " " + layout_.from;
}

void QuickListRows::ReadColumn(int col) {
  if (columnCached_ == col) return;
  columnCached_ = -1;
  columnSorted_ = false;
  columnHalvable_ = -1;
  column_.Reset(order_.size());
  const int field = FieldOfColumn(col);
  if (field >= 0 && !order_.empty()) {
    const Positions at(order_, busy_);
    const std::uint64_t generation = generation_;
    // Each row's value goes to its row's place; rows the listing lacks
    // (added since) are passed over. A text is shown as it is stored
    // (QuickListCellText); the date and numbers of other types are
    // written out.
    auto take = [&at, field, this](forms::GenericColumn& column, const vb::Variant& key, const vb::Variant& value) {
      const std::uint32_t i = at.Of(std::int64_t(vb::CDbl(key)));
      if (i == Positions::kNone) return;
      if (field != layout_.dateField && value.isString()) column.SetUtf8(i, value.rawString());
      else column.Set(i, Text(value, field));
    };
    // Every row's value in the order the engine finds cheapest (an index
    // holding the field serves it without reading the records), read
    // aside while the windows are painted. The cells are taken on the
    // reading thread itself, into a column of its own: the rows would
    // otherwise be copied and handed over one by one. (A date is written
    // out here, as the program's date settings say.)
    forms::GenericColumn column;
    column.Reset(order_.size());
    const bool aside =
        field != layout_.dateField && busy_ &&
        dao::ForEachRowAside(
            db_().shared_from_this(), ColumnSelect(field),
            [&](const std::vector<vb::Variant>& row) {
              take(column, row[0], row[1]);
              return true;
            },
            busy_);
    // Rows listed again while the windows were painted (a record saved):
    // this read is void.
    if (generation != generation_) return;
    if (aside) {
      column_ = std::move(column);
    } else {
      dao::RowStream rows(db_().shared_from_this(), ColumnSelect(field), busy_, false);
      while (rows.Next()) {
        if (busy_) busy_();
        if (generation != generation_) return;
        take(column_, rows.Field(0), rows.Field(1));
      }
      if (generation != generation_) return;
    }
  }
  columnCached_ = col;
}

void QuickListRows::Sort(int col, bool ascending) {
  if (col < 0 || col >= cols_ || order_.size() < 2) return;
  // Sorted this way already: a stable sort would leave every row in place.
  if (sortedCol_ == col && sortedAscending_ == ascending) return;
  ReadColumn(col);
  // The sort runs aside while the windows are painted, on the column and a
  // copy of the order taken out of reach: a refill meanwhile replaces the
  // order, and this sort is then dropped.
  const std::uint64_t generation = generation_;
  forms::GenericColumn column = std::move(column_);
  columnCached_ = -1;
  std::vector<std::int64_t> order = order_;
  vb::RunAside(
      [&] {
        const std::vector<std::uint32_t> by = forms::GenericStableOrder(column, ascending);
        std::vector<std::int64_t> sorted(by.size());
        for (size_t i = 0; i < by.size(); ++i) sorted[i] = order[by[i]];
        order = std::move(sorted);
        column.Permute(by);
      },
      busy_);
  if (generation != generation_ || order.size() != order_.size()) return;
  order_ = std::move(order);
  column_ = std::move(column);
  columnCached_ = col;
  pages_.clear();
  listed_ = false;  // no longer the listing order: a refill reads it again
  sortedCol_ = col;
  sortedAscending_ = ascending;
  columnSorted_ = ascending;
  ++generation_;
}

int QuickListRows::FindRow(int col, int from, const std::function<bool(const QString&)>& match) {
  return FindRowUtf8(col, from, [&match](std::string_view text) {
    return match(QString::fromUtf8(text.data(), qsizetype(text.size())));
  });
}

int QuickListRows::FindRowUtf8(int col, int from, const std::function<bool(std::string_view)>& match) {
  if (col < 0 || col >= cols_) return -1;
  ReadColumn(col);
  const std::uint64_t generation = generation_;
  for (size_t i = size_t(std::max(0, from)); i < column_.Size(); ++i) {
    if (busy_) busy_();
    // Rows listed again while the windows were painted: no row found in
    // the rows searched is one of them.
    if (generation != generation_) return -1;
    if (match(column_.Text(i))) return int(i);
  }
  return -1;
}

bool QuickListRows::ColumnInLetterOrder() {
  if (!columnSorted_ || columnCached_ < 0 || columnCached_ != sortedCol_) return false;
  if (columnHalvable_ < 0) {
    const std::uint64_t generation = generation_;
    bool halvable = true;
    for (size_t i = 0; halvable && i < column_.Size(); ++i) {
      if (busy_) busy_();
      if (generation != generation_) return false;
      halvable = !column_.IsNumber(i) && OneUnitACharacter(column_.Text(i));
    }
    columnHalvable_ = halvable ? 1 : 0;
  }
  return columnHalvable_ == 1;
}

int QuickListRows::JumpRow(int col, const QString& text, bool prefixOnly) {
  if (col < 0 || col >= cols_ || text.isEmpty()) return -1;
  ReadColumn(col);
  const std::uint64_t generation = generation_;
  const std::string wanted = text.toStdString();
  const qsizetype n = text.size();
  std::string scratch;
  size_t from = 0, to = column_.Size();
  if (columnCached_ == col && ColumnInLetterOrder()) {
    // Sorted on their letters, the cells cut to the text's length have
    // rising letter keys: every row whose cut key is below the text's
    // stands before it, every row whose key is above it after it, and
    // only the rows of the text's own key differ in case and accents,
    // which the scan below compares.
    const std::string key = vb::LetterKey(wanted);
    auto firstFrom = [&](bool equalToo) {
      size_t low = 0, high = column_.Size();
      while (low < high) {
        const size_t mid = low + (high - low) / 2;
        const int c = vb::LetterKey(CellHead(column_.Text(mid), n, scratch)).compare(key);
        if (c > 0 || (equalToo && c == 0)) high = mid;
        else low = mid + 1;
      }
      return low;
    };
    from = firstFrom(true);
    // Past the rows of the text's key none begins with it.
    if (prefixOnly) to = firstFrom(false);
  }
  for (size_t i = from; i < to && i < column_.Size(); ++i) {
    if (busy_) busy_();
    if (generation != generation_) return -1;
    const int c = vb::CompareLetters(CellHead(column_.Text(i), n, scratch), wanted);
    if (prefixOnly ? c == 0 : c >= 0) return int(i);
  }
  return -1;
}

std::int64_t QuickListRows::RowKey(int row) {
  return row >= 0 && row < int(order_.size()) ? order_[size_t(row)] : -1;
}

int QuickListRows::RowOfKey(std::int64_t key) {
  auto it = std::find(order_.begin(), order_.end(), key);
  return it == order_.end() ? -1 : int(it - order_.begin());
}

}  // namespace tvn

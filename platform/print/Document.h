#pragma once
// The page model of a report: pages of positioned items. Every position and
// size is in twips (1440 to the inch) from the page's top-left corner, and
// every colour is a blue-green-red long (&HBBGGRR), as the report writers
// give them.
#include <QByteArray>
#include <QString>

#include "platform/print/Picture.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

class QColor;
class QFile;

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

// The pages of a document. A report of a million records lays out far
// more pages than memory should hold, so past a number of pages the store
// keeps in memory only the last pages being laid out and the pages recently
// read; the others are written, in the document file's page encoding, to
// one temporary file and read back when asked for. The pages of a loaded
// document are read back from the document file itself, and go to the
// temporary file only once changed. The file goes with the store (or when
// it is cleared). A page reference stays good until several other pages
// have been read; take a copy to keep a page longer.
class PageStore {
 public:
  PageStore();
  PageStore(const PageStore& other);
  PageStore(PageStore&& other) noexcept;
  PageStore& operator=(const PageStore& other);
  PageStore& operator=(PageStore&& other) noexcept;
  ~PageStore();

  size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  // Page i, read back from the file when it is not in memory.
  const Page& operator[](size_t i) const { return At(i); }
  const Page& front() const { return At(0); }
  const Page& back() const { return At(slots_.size() - 1); }
  // The page being laid out (always in memory).
  Page& back();
  // An earlier page to change (a header stamped on it).
  Page& Edit(size_t i);
  void push_back(Page page);
  // A page of the document file given to AdoptSource, with its place
  // there: while it is unchanged, the store reads it back from that file
  // and writes it nowhere.
  void push_back(Page page, qint64 offset, qint64 length);
  // The document file the pages are loaded from, open, its name as the
  // user gave it, and its pictures by their places in it; given to an
  // empty store.
  void AdoptSource(std::unique_ptr<QFile> file, const QString& name, const std::vector<Picture>& pictures);
  // Each picture that pages from to to - 1 show, once by content, in the
  // order they first show it. Nothing is read back from the file.
  std::vector<Picture> Pictures(size_t from, size_t to) const;
  // Keeps the first n pages.
  void resize(size_t n);
  void clear() { resize(0); }
  void shrink_to_fit();

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Page;
    using difference_type = std::ptrdiff_t;
    using pointer = const Page*;
    using reference = const Page&;
    const_iterator(const PageStore* s, size_t i) : s_(s), i_(i) {}
    const Page& operator*() const { return (*s_)[i_]; }
    const Page* operator->() const { return &(*s_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const const_iterator& o) const { return i_ == o.i_; }
   private:
    const PageStore* s_;
    size_t i_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, slots_.size()}; }

  // The message of the first failure of the temporary file ("" when none):
  // the pages written before it and every page after it stay in memory.
  const std::string& Error() const { return error_; }
  // The temporary file's name ("" while every page is in memory).
  QString FileName() const;
  // Pages held before any goes to a file, and the folder of the file
  // (the system's temporary folder when empty); tests set them.
  static void SetThreshold(size_t pages);
  static void SetFolder(const QString& folder);

 private:
  struct Slot {
    std::shared_ptr<Page> page;  // null while the page is only in the file
    int64_t offset = -1;         // where the file holds it; -1: nowhere yet
    int64_t length = 0;
    bool dirty = false;          // changed since it was written
    // The file's places of the pictures the page shows, each once, kept
    // while the page is only in the file.
    std::vector<quint32> pictures;
    bool inSource = false;  // offset is in the document file the store was loaded from
  };
  struct File;
  const Page& At(size_t i) const;
  void Touch(size_t i) const;
  void Spill(size_t i) const;
  bool WriteOut(size_t i) const;
  void MakeFile() const;
  mutable std::vector<Slot> slots_;
  mutable std::vector<size_t> recent_;  // pages read back, the latest first
  mutable std::unique_ptr<File> file_;
  mutable std::string error_;
  mutable std::shared_ptr<Page> spare_;  // the page let go last, its memory to use again
  size_t settled_ = 0;  // pages before this one have been given to the file
};

struct Document {
  PageStore pages;
  int PageCount() const { return static_cast<int>(pages.size()); }
};

}  // namespace print

#pragma once
// The rows of a long select, read in order on a connection of the file's
// own on a thread of its own and handed over a batch at a time. The
// engine sorts a large result whole before it gives the first row, and a
// million rows take it a second or more: read here, that would hold the
// window that waits for them. While this thread waits for rows it calls
// tick every few milliseconds instead. The rows come as the same select
// gives them on the caller's connection, in the same order.
//
// A database whose rows another connection would not see as the caller
// does (one inside a transaction, one of another make, one with no file
// of its own), or a stream without a tick (no window to keep turning), is
// read on the caller's connection through a recordset.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

namespace dao {

class RowStream {
 public:
  // counted: whether Count() is wanted (the rows are then counted first,
  // by a statement of their own).
  RowStream(const DatabasePtr& db, const std::string& sql, std::function<void()> tick, bool counted = true);
  // Stops the reading and waits for it to end.
  ~RowStream();
  RowStream(const RowStream&) = delete;
  RowStream& operator=(const RowStream&) = delete;

  // How many rows the select gives (counted once the first rows are
  // read, in the same read); 0 when the stream was made without counting.
  // KnownCount is the same without waiting: 0 until the rows are counted.
  long Count();
  long KnownCount();
  // The select's field names, by position.
  const std::vector<std::string>& Names();
  // Moves to the next row: false after the last. The first call moves to
  // the first row. Throws what the reading threw.
  bool Next();
  // A field of the current row; a name the select lacks fails as reading
  // it from a recordset does.
  Variant Field(int index) const;
  Variant Field(const std::string& name) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Reads the rows of a select as a RowStream does aside, but hands each row
// to `row` on the reading thread itself (row must touch nothing this
// thread uses meanwhile; false from it stops the reading), while this
// thread calls tick every few milliseconds. Spares a copy and a hand-over
// of every row where one long read feeds one piece of work. False, with
// nothing read, where a RowStream would read on the caller's connection.
// Throws what the reading, row or tick threw, once the reading has ended.
bool ForEachRowAside(const DatabasePtr& db, const std::string& sql,
                     const std::function<bool(const std::vector<Variant>&)>& row, const std::function<void()>& tick);

}  // namespace dao

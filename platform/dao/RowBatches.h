#pragma once
// Whole-table updates run a batch of rows at a time, so that the window
// running them can be kept painted between batches: one statement over a
// million rows holds the window for seconds, and inside a transaction the
// engine keeps the old content of every page it changes in memory until
// the statement ends.
//
// A batch is as many rows as take a few tens of milliseconds, learnt from
// the batches before it: a fixed number of rows can take seconds on a cold
// disk or a loaded machine, and tiny batches would slow the work itself.
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

namespace dao {

// "update <table> set <set>", with "where <where>" unless where is empty.
// The new values of a row must depend on that row alone.
struct RowUpdate {
  std::string set;
  std::string where;
};

// Runs the updates over every row of table in rowid order, a batch of rows
// at a time: every update on the first batch, then every update on the
// next, and so on. As each row's result depends on that row alone, the
// rows end as they would after each update had run once over the whole
// table, in order. tick is called after each statement. The caller holds
// the transaction, so that the work stays all or nothing. rowsPerBatch
// fixes the batch size; 0 sizes the batches by time.
void UpdateInRowBatches(Database& db, const std::string& table, const std::vector<RowUpdate>& updates,
                        const std::function<void()>& tick = {}, long rowsPerBatch = 0);

// The same for one update whose where picks few rows through an index (a
// name carried into the records that hold it): the batches are counted in
// the rows that match, so that the work reads those rows only, as the
// single statement would.
void UpdateMatchingInBatches(Database& db, const std::string& table, const RowUpdate& update,
                             const std::function<void()>& tick = {}, long rowsPerBatch = 0);

}  // namespace dao

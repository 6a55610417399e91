#include "platform/dao/RowBatches.h"

#include <optional>

namespace dao {

namespace {

// The rowid of the first row at or past `skip` rows after `from` (the
// table's first row without from); nothing when there is no such row.
std::optional<std::int64_t> RowidAt(Database& db, const std::string& table, std::optional<std::int64_t> from,
                                    long skip) {
  const std::string sql = "select rowid from " + table +
                          (from ? " where rowid >= " + std::to_string(*from) : std::string()) +
                          " order by rowid limit 1 offset " + std::to_string(skip);
  RecordsetPtr rs = db.OpenRecordset(sql, dbOpenSnapshot);
  std::optional<std::int64_t> out;
  if (!rs->Eof()) {
    const Variant v = rs->GetField(0);
    if (v.isNumber()) out = v.rawInt();
  }
  rs->Close();
  return out;
}

}  // namespace

void UpdateInRowBatches(Database& db, const std::string& table, const std::vector<RowUpdate>& updates,
                        const std::function<void()>& tick, long rowsPerBatch) {
  if (updates.empty()) return;
  std::optional<std::int64_t> first = RowidAt(db, table, std::nullopt, 0);
  while (first) {
    // Found before the batch is written: the updates change no rowid.
    const std::optional<std::int64_t> next = RowidAt(db, table, first, rowsPerBatch);
    const std::string range = "rowid >= " + std::to_string(*first) +
                              (next ? " and rowid < " + std::to_string(*next) : std::string());
    for (const RowUpdate& u : updates) {
      db.Execute("update " + table + " set " + u.set + " where " +
                 (u.where.empty() ? range : "(" + u.where + ") and " + range));
      if (tick) tick();
    }
    first = next;
  }
}

}  // namespace dao

#include "platform/dao/RowBatches.h"

#include <chrono>
#include <optional>

namespace dao {

namespace {

// The rowid of the first row matching where (any row when empty) at or
// past `skip` such rows after `from` (from the table's first without
// from); nothing when there is no such row.
std::optional<std::int64_t> RowidAt(Database& db, const std::string& table, const std::string& where,
                                    std::optional<std::int64_t> from, long skip) {
  std::string condition = where.empty() ? std::string() : "(" + where + ")";
  if (from) condition += (condition.empty() ? "" : " and ") + ("rowid >= " + std::to_string(*from));
  const std::string sql = "select rowid from " + table + (condition.empty() ? "" : " where " + condition) +
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

// The rows of the next batch: fixed, or grown and shrunk so that a batch
// takes about kTarget.
class BatchSize {
 public:
  explicit BatchSize(long fixed) : fixed_(fixed > 0), rows_(fixed > 0 ? fixed : kFirst) {}
  long Rows() const { return rows_; }
  void Start() { start_ = Clock::now(); }
  void Took() {
    if (fixed_) return;
    const auto took = Clock::now() - start_;
    if (took < kTarget / 2 && rows_ < kMost) rows_ *= 2;
    else if (took > kTarget * 2 && rows_ > kLeast) rows_ /= 2;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kTarget = std::chrono::milliseconds(30);
  static constexpr long kFirst = 1024, kLeast = 64, kMost = 1L << 20;
  bool fixed_;
  long rows_;
  Clock::time_point start_;
};

// Walks the rows matching where (every row when empty) in rowid order a
// batch at a time, calling run with each batch's range as a condition.
void InBatches(Database& db, const std::string& table, const std::string& where, long rowsPerBatch,
               const std::function<void(const std::string& range)>& run) {
  BatchSize size(rowsPerBatch);
  std::optional<std::int64_t> first = RowidAt(db, table, where, std::nullopt, 0);
  while (first) {
    size.Start();
    // Found before the batch is written: the updates change no rowid.
    const std::optional<std::int64_t> next = RowidAt(db, table, where, first, size.Rows());
    run("rowid >= " + std::to_string(*first) + (next ? " and rowid < " + std::to_string(*next) : std::string()));
    size.Took();
    first = next;
  }
}

}  // namespace

void UpdateInRowBatches(Database& db, const std::string& table, const std::vector<RowUpdate>& updates,
                        const std::function<void()>& tick, long rowsPerBatch) {
  if (updates.empty()) return;
  InBatches(db, table, "", rowsPerBatch, [&](const std::string& range) {
    for (const RowUpdate& u : updates) {
      db.Execute("update " + table + " set " + u.set + " where " +
                 (u.where.empty() ? range : "(" + u.where + ") and " + range));
      if (tick) tick();
    }
  });
}

void UpdateMatchingInBatches(Database& db, const std::string& table, const RowUpdate& update,
                             const std::function<void()>& tick, long rowsPerBatch) {
  // A row the update takes out of the match was counted in its batch
  // before the write; the batches after it start past it.
  InBatches(db, table, update.where, rowsPerBatch, [&](const std::string& range) {
    db.Execute("update " + table + " set " + update.set + " where " +
               (update.where.empty() ? range : "(" + update.where + ") and " + range));
    if (tick) tick();
  });
}

}  // namespace dao

// The reading runs on a worker with a read-only connection of its own;
// this side takes the rows a batch at a time from a short queue, so the
// memory held stays a few batches whatever the number of rows, and a
// reader stopped early interrupts the engine rather than waiting for its
// sort to end.
#include "platform/dao/RowStream.h"

#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/dao/DaoErrors.h"
#include "platform/dao/DaoInternal.h"

namespace dao {

namespace {
constexpr size_t kBatchRows = 256;
constexpr size_t kFirstBatchRows = 8;
constexpr size_t kBatchesQueued = 4;
using Rows = std::vector<std::vector<Variant>>;
}  // namespace

// A read on a read-only connection of its own, on the thread that calls
// Read; the caller's side waits for it and can stop it, interrupting the
// engine. What the read hands over is guarded by m.
struct AsideRead {
  std::mutex m;
  std::condition_variable cv;
  bool finished = false;
  bool stop = false;
  std::exception_ptr error;
  sqlite3* reading = nullptr;  // the worker's connection while it reads

  void Read(const std::string& file, const std::function<void(detail::DatabaseImpl&)>& work) {
    DatabasePtr own;
    try {
      own = DBEngine::Workspaces(0).OpenAside(file, true);
      auto* impl = static_cast<detail::DatabaseImpl*>(own.get());
      bool stopped;
      {
        std::lock_guard<std::mutex> lock(m);
        stopped = stop;
        if (!stopped) reading = impl->Handle();
      }
      if (!stopped) work(*impl);
    } catch (...) {
      std::lock_guard<std::mutex> lock(m);
      // An interrupted read was stopped on purpose.
      if (!stop) error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(m);
      reading = nullptr;
    }
    if (own) own->Close();
    {
      std::lock_guard<std::mutex> lock(m);
      finished = true;
    }
    cv.notify_all();
  }

  // Waits for ready, calling tick between short waits.
  template <class Ready>
  void Wait(const std::function<void()>& tick, Ready ready) {
    std::unique_lock<std::mutex> lock(m);
    while (!cv.wait_for(lock, std::chrono::milliseconds(5), ready)) {
      lock.unlock();
      tick();
      lock.lock();
    }
  }

  // Tells the read to end, and ends the engine's work at once.
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(m);
      stop = true;
      if (reading) sqlite3_interrupt(reading);
    }
    cv.notify_all();
  }
};

struct RowStream::Impl : AsideRead {
  // Read here, through a recordset.
  RecordsetPtr rs;
  bool started = false;

  // Read aside.
  std::function<void()> tick;
  std::thread worker;
  bool counting = true;
  bool counted = false;
  long count = 0;
  bool named = false;
  std::vector<std::string> names;
  std::unordered_map<std::string, int> byName;
  std::deque<Rows> queued;
  Rows batch;                  // the batch the current row is in
  size_t at = 0;

  template <class Ready>
  void Wait(Ready ready) {
    AsideRead::Wait(tick, ready);
  }

  // Counts the rows on the reading connection, in the read the rows come
  // from, so that the count and the rows agree.
  void CountRows(detail::DatabaseImpl& impl, const std::string& sql) {
    const long n = impl.CountRows(sql);
    {
      std::lock_guard<std::mutex> lock(m);
      count = n;
      counted = true;
    }
    cv.notify_all();
  }

  void ReadRows(detail::DatabaseImpl& impl, const std::string& sql) {
    Rows filling;
    bool handed = false;
    auto hand = [&] {
      std::unique_lock<std::mutex> lock(m);
      cv.wait(lock, [&] { return stop || queued.size() < kBatchesQueued; });
      if (stop) return false;
      queued.push_back(std::move(filling));
      filling.clear();
      handed = true;
      lock.unlock();
      cv.notify_all();
      return true;
    };
    impl.ForEachRow(
        sql,
        [&](std::vector<std::string> fields) {
          {
            std::lock_guard<std::mutex> lock(m);
            names = std::move(fields);
            named = true;
          }
          cv.notify_all();
        },
        [&](const std::vector<Variant>& row) {
          filling.push_back(row);
          // The first rows go over at once, before the rows are counted:
          // the reader begins on them while the rest are read.
          if (filling.size() < (handed ? kBatchRows : kFirstBatchRows)) return true;
          const bool first = !handed;
          if (!hand()) return false;
          if (first && counting) CountRows(impl, sql);
          return true;
        },
        true);
    if (!filling.empty()) hand();
    if (counting && !handed) CountRows(impl, sql);
  }

  void ThrowIfFailed() {
    std::lock_guard<std::mutex> lock(m);
    if (error) std::rethrow_exception(error);
  }
};

namespace {
// The database when its rows can be read on a connection of their own as
// the caller would see them.
detail::DatabaseImpl* ReadableAside(const DatabasePtr& db, const std::function<void()>& tick) {
  auto* impl = dynamic_cast<detail::DatabaseImpl*>(db.get());
  const bool aside = tick && impl && impl->IsOpen() && sqlite3_get_autocommit(impl->Handle()) &&
                     sqlite3_db_filename(impl->Handle(), "main") && *sqlite3_db_filename(impl->Handle(), "main");
  return aside ? impl : nullptr;
}
}  // namespace

bool ForEachRowAside(const DatabasePtr& db, const std::string& sql,
                     const std::function<bool(const std::vector<Variant>&)>& row, const std::function<void()>& tick) {
  detail::DatabaseImpl* impl = ReadableAside(db, tick);
  if (!impl) return false;
  impl->Translate(sql);  // fails here as it would on the caller's connection
  AsideRead read;
  std::thread worker(
      [&read, &sql, &row, file = impl->Path()] { read.Read(file, [&](detail::DatabaseImpl& own) { own.ForEachRow(sql, row); }); });
  try {
    read.Wait(tick, [&] { return read.finished; });
  } catch (...) {
    // The reading must end before what it uses goes out of scope.
    read.Stop();
    worker.join();
    throw;
  }
  worker.join();
  if (read.error) std::rethrow_exception(read.error);
  return true;
}

RowStream::RowStream(const DatabasePtr& db, const std::string& sql, std::function<void()> tick, bool counted)
    : d_(std::make_unique<Impl>()) {
  d_->counting = counted;
  detail::DatabaseImpl* impl = ReadableAside(db, tick);
  if (!impl) {
    d_->rs = db->OpenRecordset(sql);
    return;
  }
  // The select must be one the caller's connection takes: it fails here
  // as it would there.
  impl->Translate(sql);
  d_->tick = std::move(tick);
  d_->worker = std::thread([d = d_.get(), file = impl->Path(), sql] {
    d->Read(file, [d, &sql](detail::DatabaseImpl& own) { d->ReadRows(own, sql); });
  });
}

RowStream::~RowStream() {
  if (d_->worker.joinable()) {
    d_->Stop();
    d_->worker.join();
  }
  if (d_->rs && d_->rs->IsOpen()) d_->rs->Close();
}

long RowStream::Count() {
  if (!d_->counting) return 0;
  if (d_->rs) return d_->rs->RecordCount();
  d_->Wait([this] { return d_->counted || d_->finished; });
  d_->ThrowIfFailed();
  return d_->count;
}

long RowStream::KnownCount() {
  if (!d_->counting) return 0;
  if (d_->rs) return d_->rs->RecordCount();
  std::lock_guard<std::mutex> lock(d_->m);
  return d_->counted ? d_->count : 0;
}

const std::vector<std::string>& RowStream::Names() {
  if (d_->rs && d_->names.empty())
    for (int i = 0, n = d_->rs->FieldCount(); i < n; ++i) d_->names.push_back(d_->rs->FieldInfo(i).Name);
  if (!d_->rs) {
    d_->Wait([this] { return d_->named || d_->finished; });
    d_->ThrowIfFailed();
  }
  return d_->names;
}

bool RowStream::Next() {
  if (d_->rs) {
    if (d_->started) d_->rs->MoveNext();
    d_->started = true;
    return !d_->rs->Eof();
  }
  if (d_->at + 1 < d_->batch.size()) {
    ++d_->at;
    return true;
  }
  d_->batch.clear();
  d_->at = 0;
  d_->Wait([this] { return !d_->queued.empty() || d_->finished; });
  {
    std::lock_guard<std::mutex> lock(d_->m);
    if (!d_->queued.empty()) {
      d_->batch = std::move(d_->queued.front());
      d_->queued.pop_front();
    }
  }
  d_->cv.notify_all();
  if (!d_->batch.empty()) return true;
  d_->ThrowIfFailed();
  return false;
}

Variant RowStream::Field(int index) const {
  if (d_->rs) return d_->rs->GetField(index);
  if (d_->batch.empty() || index < 0 || static_cast<size_t>(index) >= d_->batch[d_->at].size())
    detail::FailItemNotFound();
  return d_->batch[d_->at][static_cast<size_t>(index)];
}

Variant RowStream::Field(const std::string& name) const {
  if (d_->rs) return d_->rs->GetField(name);
  if (d_->byName.empty())
    for (size_t i = 0; i < d_->names.size(); ++i) d_->byName.emplace(detail::LowerAscii(d_->names[i]), int(i));
  auto it = d_->byName.find(detail::LowerAscii(name));
  if (it == d_->byName.end()) detail::FailItemNotFound();
  return Field(it->second);
}

}  // namespace dao

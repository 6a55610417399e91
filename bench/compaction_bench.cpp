// Compacting a collection of 100,000 items (1,000,000 with
// TVN_BENCH_MILLION=1; a third of them deleted) as both catalogue windows
// do it, in place through the engine's journal, with the longest time the
// event loop stood still, against two floors on copies of the same file:
// the engine's in-place VACUUM alone, and a compacted copy (VACUUM INTO)
// moved over the file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/BenchSupport.h"
#include "core/Compaction.h"
#include "core/Schema.h"

namespace {

std::filesystem::path PrepareFolder(int items) {
  std::filesystem::path dir = bench::MakeDataFolder("tvncompactbench");
  tvn::schema::CreateCollectionFile((dir / "source.mdb").string());
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "source.mdb").string());
  db->BeginTrans();
  bench::AddItems(db, items, [](dao::Recordset& rs, int) { rs.SetField("notes", "Some notes about the item"); });
  db->CommitTrans();
  db->Execute("delete * from mediadata where SectionNumber in (1, 4, 7)");
  db->Close();
  return dir;
}

struct Fixture {
  std::filesystem::path dir;
  explicit Fixture(int items) {
    static int argc = 1;
    static char name[] = "compaction_bench";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
    dir = PrepareFolder(items);
  }
  ~Fixture() { bench::RemoveDataFolder(dir); }
  // A fresh copy of the uncompacted file, made outside the timing.
  std::string Fresh(benchmark::State& state) {
    state.PauseTiming();
    const auto file = dir / "bench.mdb";
    std::filesystem::copy_file(dir / "source.mdb", file, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(dir / "copy.mdb");
    state.ResumeTiming();
    return file.string();
  }
};

Fixture& TheFixture(const benchmark::State& state) {
  static std::map<long, std::unique_ptr<Fixture>> made;
  auto& f = made[long(state.range(0))];
  if (!f) f = std::make_unique<Fixture>(int(state.range(0)));
  return *f;
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100000);
  if (bench::MillionRequested()) b->Arg(1000000);
}

void Raw(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(message);
  }
  sqlite3_close(db);
}

// The gap_s counter is the longest stand-still of the fastest run.
void BM_CompactCollection(benchmark::State& state) {
  Fixture& f = TheFixture(state);
  double best = 0, bestGap = 0;
  for (auto _ : state) {
    const std::string file = f.Fresh(state);
    tvn::CompactionResult result{};
    const auto [seconds, gap] = bench::TimedWithGap([&] { result = tvn::CompactInPlace(file); });
    if (result != tvn::CompactionResult::Compacted) state.SkipWithError("not compacted");
    if (best == 0 || seconds < best) {
      best = seconds;
      bestGap = gap;
    }
  }
  state.counters["best_s"] = best;
  state.counters["gap_s"] = bestGap;
}
BENCHMARK(BM_CompactCollection)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorInPlaceVacuum(benchmark::State& state) {
  Fixture& f = TheFixture(state);
  for (auto _ : state) Raw(f.Fresh(state), "VACUUM");
}
BENCHMARK(BM_FloorInPlaceVacuum)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorVacuumIntoAndRename(benchmark::State& state) {
  Fixture& f = TheFixture(state);
  for (auto _ : state) {
    const std::string file = f.Fresh(state);
    const std::string copy = (f.dir / "copy.mdb").string();
    Raw(file, "VACUUM INTO '" + copy + "'");
    std::filesystem::rename(copy, file);
  }
}
BENCHMARK(BM_FloorVacuumIntoAndRename)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

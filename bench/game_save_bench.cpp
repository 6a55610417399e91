// Filing a game in a collection of 50,000 games: an edit with a rename,
// and an add with a new publisher; each with its unique-name test, lookup
// upkeep and link rewrite, in one transaction.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/BenchSupport.h"
#include "games/PLGameStore.h"
#include "games/avplDataclass.h"
#include "platform/dao/Dao.h"

namespace {

constexpr int kGames = 50000;

struct GameSaveFixture {
  std::filesystem::path dir;
  dao::DatabasePtr db;
  avplDataclass state;

  GameSaveFixture() {
    dir = bench::MakeDataFolder("tvngamesave");
    bench::MakeGameCollection((dir / "MyGames.mdb").string(), kGames);
    db = dao::DBEngine::Workspaces(0).OpenDatabase("MyGames.mdb");
    state.SectionNumber = 3;
    state.PSOn = true;
  }
  ~GameSaveFixture() {
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

GameSaveFixture& G() {
  static GameSaveFixture f;
  return f;
}

void Links(dao::Database& db, long n) {
  pl::RewriteLinks(db, pl::LinkList::SystemTypes, n, {1, 2, 3});
  pl::RewriteLinks(db, pl::LinkList::Supports, n, {4, 5});
}

void BM_GameSaveEdit(benchmark::State& state) {
  auto& g = G();
  pl::GameFields f;
  f.Publisher = "Publisher 9";
  f.Developer = "Developer 9";
  f.Genre = "Genre 9";
  int n = 0;
  for (auto _ : state) {
    f.Name = "Game " + std::to_string(n++ % 2);
    f.Notes = "Notes " + std::to_string(n);
    pl::StoreGame(*g.db, g.state, f, 3, [&g](long s) { Links(*g.db, s); });
  }
}
BENCHMARK(BM_GameSaveEdit)->Unit(benchmark::kMillisecond);

void BM_GameSaveAdd(benchmark::State& state) {
  auto& g = G();
  pl::GameFields f;
  f.Developer = "Developer 9";
  int n = 0;
  for (auto _ : state) {
    f.Name = "Added";  // a taken name: the number grows with each add
    f.Publisher = "New Publisher " + std::to_string(n++);
    pl::StoreGame(*g.db, g.state, f, 0, [&g](long s) { Links(*g.db, s); });
  }
}
BENCHMARK(BM_GameSaveAdd)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_GameDelete(benchmark::State& state) {
  auto& g = G();
  long next = 10;
  for (auto _ : state) {
    pl::DeleteGame(*g.db, next);
    next += 6;
  }
}
BENCHMARK(BM_GameDelete)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

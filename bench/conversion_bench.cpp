// Conversion of an earlier-layout collection of 50,000 items into the
// current layout (rows per second), as opening such a file does it.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/AppState.h"
#include "core/ConversionModule32.h"
#include "core/Schema.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

constexpr int kItems = 50000;

// A data folder of its own with the templates and one earlier-layout
// collection of kItems items spread over the nine sections.
std::filesystem::path PrepareFolder() {
  std::filesystem::path dir = bench::MakeDataFolder("tvnconvbench");
  tvn::schema::EnsureTemplates(dir.string());
  tvn::schema::CreateEarlierCollectionFile((dir / "earlier.mdb").string());

  auto db = dao::DBEngine::Workspaces(0).OpenDatabase("earlier.mdb");
  db->BeginTrans();
  const auto& sections = tvn::schema::SectionTableNames();
  for (size_t s = 0; s < sections.size(); ++s) {
    auto rs = db->OpenRecordset(sections[s]);
    for (int i = static_cast<int>(s); i < kItems; i += static_cast<int>(sections.size())) {
      rs->AddNew();
      rs->SetField("name", "Item " + std::to_string(i));
      rs->SetField("artist1", "Artist " + std::to_string(i % 500));
      rs->SetField("category", "Category " + std::to_string(i % 40));
      rs->SetField("notes", "Some notes about the item");
      for (int t = 1; t <= 10; ++t) rs->SetField("title" + std::to_string(t), "Track " + std::to_string(t));
      rs->SetField("date_aquired", i % 3 ? vb::DateSerial(2001, 1 + i % 12, 1 + i % 28) : dao::Variant::Null());
      rs->Update();
    }
    rs->Close();
  }
  db->CommitTrans();
  db->Close();
  return dir;
}

// Removes the folder when the program ends.
struct BenchFolder {
  std::filesystem::path dir = PrepareFolder();
  ~BenchFolder() {
    bench::RemoveDataFolder(dir);
  }
};

void BM_ConvertEarlierCollection(benchmark::State& state) {
  static const BenchFolder folder;
  const std::filesystem::path& dir = folder.dir;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(dir / "earlier.mdb", dir / "bench.mdb",
                               std::filesystem::copy_options::overwrite_existing);
    tvn::AVData()->LastDB("bench.mdb");
    tvn::App().CollectionDB = tvn::AppWorkspace().OpenDatabase("bench.mdb");
    state.ResumeTiming();

    tvn::OpenMediaData();

    state.PauseTiming();
    tvn::App().CollectionDB->Close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ConvertEarlierCollection)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// The quick display on a collection of 100,000 items: opening the window
// (filling the grid) and sorting a column. Both must stay well under
// 300 ms.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

constexpr int kItems = 100000;
const char* const kSections[] = {"Cassette", "Compact Disc", "DVD",      "Laser Disc", "LP",
                                 "Video Tape", "MiniDisc",     "MP3",      "Software"};

QApplication& BenchQtApp() {
  static int argc = 1;
  static char name[] = "quick_display_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

// A data folder of its own holding one collection of kItems items, kept
// open while the benchmark program runs.
struct BenchCollection {
  std::filesystem::path dir;
  dao::DatabasePtr db;
  BenchCollection() {
    // The program state outlives this collection (statics end in reverse
    // order of their making), so the destructor can still look at it.
    tvn::App();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    BenchQtApp();
    dir = bench::MakeDataFolder("tvnqdbench");
    tvn::schema::CreateCollectionFile((dir / "big.mdb").string());
    db = dao::DBEngine::Workspaces(0).OpenDatabase("big.mdb");
    db->BeginTrans();
    auto rs = db->OpenRecordset("mediadata");
    for (int i = 0; i < kItems; ++i) {
      const int section = i % 9;
      rs->AddNew();
      rs->SetField("name", "Item " + std::to_string((i * 7919) % kItems));
      rs->SetField("section", kSections[section]);
      rs->SetField("SectionNumber", dao::Variant::Byte(std::uint8_t(section + 1)));
      rs->SetField("artist1", "Artist " + std::to_string(i % 997));
      rs->SetField("category", "Category " + std::to_string(i % 40));
      rs->SetField("labelstudio", "Label " + std::to_string(i % 120));
      rs->SetField("cat_number", std::to_string(100000 + i));
      rs->SetField("date_aquired", dao::Variant::Date(36000.0 + i % 3000));
      rs->Update();
    }
    rs->Close();
    db->CommitTrans();
  }
  // Makes this collection the program's open collection (other benchmarks
  // of the program may have opened theirs in between).
  void Use() const {
    ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
    std::filesystem::current_path(dir);
    tvn::App().CollectionDB = db;
  }
  ~BenchCollection() {
    if (tvn::App().CollectionDB == db) tvn::App().CollectionDB.reset();
    db->Close();
    bench::RemoveDataFolder(dir);
  }
};

const BenchCollection& Collection() {
  static const BenchCollection collection;
  collection.Use();
  return collection;
}

void BM_QuickDisplayOpen(benchmark::State& state) {
  Collection();
  for (auto _ : state) {
    auto form = std::make_unique<tvn::AVQDForm>();
    form->Form_Load();
    benchmark::DoNotOptimize(form->QDGrid->Rows());
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_QuickDisplayOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QuickDisplaySortColumn(benchmark::State& state) {
  Collection();
  tvn::AVQDForm form;
  form.Form_Load();
  form.show();
  form.QDGrid->SetCol(3);
  bool ascending = true;
  for (auto _ : state) {
    if (ascending) form.menuA_Click();
    else form.menuD_Click();
    ascending = !ascending;
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_QuickDisplaySortColumn)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_QuickDisplayJump(benchmark::State& state) {
  Collection();
  tvn::AVQDForm form;
  form.Form_Load();
  form.show();
  form.srchOption_Click(2);
  form.txtSearch->setText("Item 99");
  for (auto _ : state) form.btnSearch_Click();
}
BENCHMARK(BM_QuickDisplayJump)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// Start-up to the launcher on a collection of 100,000 items: the start
// window's work, Continue, the splash window and the launcher's load (the
// splash window's 3.5 seconds not counted).
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/AppState.h"
#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/Start_Form.h"
#include "core/Windows.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

constexpr int kStartupItems = 100000;

QApplication& BenchApp() {
  static int argc = 1;
  static char name[] = "tvnbench";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

// A data folder whose current collection holds kStartupItems items.
std::filesystem::path PrepareStartupFolder() {
  std::filesystem::path dir = bench::MakeDataFolder("tvnstartbench");
  tvn::schema::EnsureTemplates(dir.string());
  tvn::schema::CreateCollectionFile((dir / "big.mdb").string());
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "big.mdb").string());
  db->BeginTrans();
  auto rs = db->OpenRecordset("mediadata");
  static const char* const sections[] = {"Cassette", "Compact Disc", "DVD", "Laser Disc", "LP",
                                         "Video Tape", "MiniDisc", "MP3", "Software"};
  for (int i = 0; i < kStartupItems; ++i) {
    const int s = i % 9;
    rs->AddNew();
    rs->SetField("name", "Item " + std::to_string(i));
    rs->SetField("SectionNumber", s + 1);
    rs->SetField("section", sections[s]);
    rs->SetField("artist1", "Artist " + std::to_string(i % 500));
    rs->SetField("category", "Category " + std::to_string(i % 40));
    rs->Update();
  }
  rs->Close();
  db->CommitTrans();
  db->Close();
  vb::SaveSetting("TVN", "Startup", "CurDB", "big.mdb");
  return dir;
}

struct StartupFolder {
  std::filesystem::path dir = PrepareStartupFolder();
  ~StartupFolder() {
    bench::RemoveDataFolder(dir);
  }
};

void BM_StartupToLauncher(benchmark::State& state) {
  BenchApp();
  QApplication::setQuitOnLastWindowClosed(false);
  static const StartupFolder folder;
  static bool ended = false;
  tvn::SetEndProgramHandler([](int) {
    ended = true;
    tvn::ResetProgramEnded();
  });
  for (auto _ : state) {
    tvn::win::Start_Form->Continue_but->click();
    tvn::win::Splash_Form->Timer1_Timer();
    if (!tvn::win::MainForm.Loaded() || ended) {
      state.SkipWithError("the launcher did not open");
      break;
    }
    state.PauseTiming();
    auto count = tvn::App().CollectionDB->OpenRecordset("select count(*) as n from mediadata");
    if (vb::CLng(count->GetField("n")) != kStartupItems) {
      state.SkipWithError("the collection opened is not the large one");
      break;
    }
    count->Close();
    tvn::ReleaseProgram();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tvn::ResetProgramEnded();
    tvn::SetAVData(std::make_shared<tvn::TVNDATA>());
    state.ResumeTiming();
  }
  tvn::SetEndProgramHandler({});
}
BENCHMARK(BM_StartupToLauncher)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

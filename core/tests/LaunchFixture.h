#pragma once
// Shared set-up of the start-up and window tests: a fresh data folder and
// settings file per test, scripted message boxes, and an observed (not
// real) ending of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/AppState.h"
#include "core/Windows.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvn::testing {

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "tavolin_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

// Lets queued work and deferred deletions run.
inline void Pump() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    QApplication::setQuitOnLastWindowClosed(false);
    ASSERT_TRUE(dir_.isValid());
    home_ = dir_.path().toStdString() + "/data";
    ::setenv("TAVOLIN_HOME", home_.c_str(), 1);
    vb::SetSettingsFile(dir_.path().toStdString() + "/settings.ini");
    vb::PromptScript::Install();
    vb::PromptScript::Clear();
    ResetProgramEnded();
    endings_.clear();
    // An ending is recorded, and the test goes on.
    SetEndProgramHandler([this](int code) {
      endings_.push_back(code);
      ResetProgramEnded();
    });
    ResetGlobals();
  }

  void TearDown() override {
    ReleaseProgram();
    Pump();
    ResetGlobals();
    SetEndProgramHandler({});
    ResetProgramEnded();
    vb::PromptScript::Uninstall();
    vb::SetSettingsFile("");
    std::filesystem::current_path(std::filesystem::temp_directory_path());
  }

  static void ResetGlobals() {
    AppGlobals& g = App();
    g.CollectionsRS.reset();
    g.CollectionDB.reset();
    g.AdminDB.reset();
    g.OldDB.reset();
    g.AppWorkspace = nullptr;
    g.TipNum = 0;
    g.AboutMode = false;
    SetAVData(std::make_shared<TVNDATA>());
  }

  // The data folder, created when asked for.
  std::string Home(bool create = true) {
    if (create) std::filesystem::create_directories(home_);
    return home_;
  }
  std::string InHome(const std::string& name) { return home_ + "/" + name; }
  // The data folder under another name inside the test's folder (or, with
  // a "/" first, exactly there).
  void NameHome(const std::string& name) {
    home_ = name.rfind('/', 0) == 0 ? name : dir_.path().toStdString() + "/" + name;
    ::setenv("TAVOLIN_HOME", home_.c_str(), 1);
  }
  // The test's own folder, where the data folder is made.
  std::string TestFolder() const { return dir_.path().toStdString(); }

  // Exact names in the data folder (no case folding).
  std::vector<std::string> EntryNames() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(home_)) names.push_back(e.path().filename().string());
    return names;
  }
  bool HasEntry(const std::string& exactName) {
    for (const std::string& n : EntryNames())
      if (n == exactName) return true;
    return false;
  }

  static std::string Setting(const std::string& key) { return vb::GetSetting("TVN", "Startup", key, "<none>"); }
  static void SetSetting(const std::string& key, const std::string& value) {
    vb::SaveSetting("TVN", "Startup", key, value);
  }

  QTemporaryDir dir_;
  std::string home_;
  std::vector<int> endings_;
};

}  // namespace tvn::testing

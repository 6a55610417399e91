// Compaction shared by the media and the game window: one place decides
// how a collection is rewritten, so both keep their file safe the same way.
#include "core/Compaction.h"

#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#include "core/CommonDataTable.h"

#include "platform/dao/Dao.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

std::string CompactionTarget(const std::string& file) {
  static unsigned counter = 0;
  const auto slash = file.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : file.substr(0, slash);
  // The name carries this process's number: the clean-up of leftovers can
  // tell it from any collection, and leaves it alone while this program runs.
  std::string target;
  do {
    target = folder + "/.tvn-" + std::to_string(::getpid()) + "-compact" + std::to_string(++counter) + ".tmp";
  } while (vb::FileExists(target) || vb::FolderExists(target));
  return target;
}

bool AskCompaction(const std::string& fileShown) {
  return vb::MsgBox("Please make a copy of the file " + fileShown + " before compacting database" + "\n" +
                        "Compact database now??",
                    vb::vbYesNo, "Compact Warning") == vb::vbYes;
}

namespace {

// Runs the engine's copy on a thread of its own (it opens its own
// connection) while this thread keeps the windows painted; input made
// meanwhile is dropped by the scope.
void RunKeepingWindowsPainted(const std::function<void()>& work) {
  vb::BusyScope busy;
  vb::RunBesideBusy(busy, work);
}

}  // namespace

bool CompactInPlace(const std::string& file, const FileStep& compact, const FileStep& replace) {
  std::string target;
  try {
    // What an earlier, interrupted compaction left goes first.
    const auto slash = file.find_last_of('/');
    RemoveLeftoverFiles(slash == std::string::npos ? std::string(".") : file.substr(0, slash));
    target = CompactionTarget(file);
    RunKeepingWindowsPainted([&] { compact(file, target); });
    replace(target, file);
    return true;
  } catch (const std::exception&) {
    if (!target.empty() && vb::FileExists(target)) std::remove(target.c_str());
    return false;
  }
}

FileStep& CompactionStep() {
  static FileStep step = [](const std::string& from, const std::string& to) {
    dao::DBEngine::CompactDatabase(from, to);
  };
  return step;
}

bool CompactInPlace(const std::string& file) {
  return CompactInPlace(file, CompactionStep(),
                        [](const std::string& from, const std::string& to) { vb::Name(from, to); });
}

BusyWindow::BusyWindow(QWidget* window) : window_(window), scope_(window) {
  if (window_) window_->setEnabled(false);
}

void BusyWindow::Done() {
  if (done_) return;
  done_ = true;
  scope_.Done();
  if (window_) window_->setEnabled(true);
}

}  // namespace tvn

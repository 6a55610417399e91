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
#include <filesystem>
#include <system_error>
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

std::string LinkedFileProblem(const std::string& path, const std::string& done) {
  std::error_code error;
  const std::filesystem::path link(path);
  if (!std::filesystem::is_symlink(link, error)) return {};
  // The file at the end of the chain of links; a link to nothing names
  // where it points.
  std::filesystem::path target = std::filesystem::canonical(link, error);
  if (error) {
    error.clear();
    target = std::filesystem::read_symlink(link, error);
    if (target.is_relative()) target = link.parent_path() / target;
    target = std::filesystem::absolute(target, error).lexically_normal();
  }
  return "is a symbolic link to\n" + target.string() + "\nIt was not " + done +
         ": that would put a new file in the place of the link and leave the file the link names as it was. "
         "Put the file itself in the place of the link to have it " +
         done + ".";
}

bool AskCompaction(const std::string& fileShown) {
  if (const std::string problem = LinkedFileProblem(fileShown, "compacted"); !problem.empty()) {
    vb::MsgBox("The collection file\n" + fileShown + "\n" + problem, vb::vbOKOnly + vb::vbExclamation,
               "Compact Warning");
    return false;
  }
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
  vb::RunAside(work, [&busy] { busy.Tick(); });
}

}  // namespace

bool CompactInPlace(const std::string& file, const FileStep& compact, const FileStep& replace) {
  std::string target;
  // A link would be replaced by the copy, and the file it names left as it was.
  if (!LinkedFileProblem(file, "compacted").empty()) return false;
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

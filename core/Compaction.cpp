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
  return vb::MsgBox("Please make a copy of the file " + fileShown + " before compacting database" + "\n" +
                        "Compact database now??",
                    vb::vbYesNo, "Compact Warning") == vb::vbYes;
}

namespace {

// Runs the engine's compaction on a thread of its own (it opens its own
// connection) while this thread keeps the windows painted; input made
// meanwhile is dropped by the scope.
void RunKeepingWindowsPainted(const std::function<void()>& work) {
  vb::BusyScope busy;
  vb::RunAside(work, [&busy] { busy.Tick(); });
}

}  // namespace

CompactionResult CompactInPlace(const std::string& file, const FileStep& compact) {
  try {
    // What an earlier version's interrupted compaction left goes first.
    const auto slash = file.find_last_of('/');
    RemoveLeftoverFiles(slash == std::string::npos ? std::string(".") : file.substr(0, slash));
    // Reads this program still holds on the file would keep the engine
    // from finishing the rewrite.
    dao::DBEngine::ReleaseReads();
    RunKeepingWindowsPainted([&] { compact(file); });
    return CompactionResult::Compacted;
  } catch (const vb::RuntimeError& e) {
    if (e.Number() != dao::errFileLocked) return CompactionResult::Failed;
    const std::string shown = std::filesystem::absolute(file).lexically_normal().string();
    vb::MsgBox("The collection file\n" + shown +
                   "\nis in use by another program. It was not compacted and is as it was. Compact it once that "
                   "program has let it go.",
               vb::vbOKOnly + vb::vbExclamation, "Compact Warning");
    return CompactionResult::InUse;
  } catch (const std::exception&) {
    return CompactionResult::Failed;
  }
}

FileStep& CompactionStep() {
  static FileStep step = [](const std::string& file) { dao::DBEngine::CompactInPlace(file); };
  return step;
}

CompactionResult CompactInPlace(const std::string& file) { return CompactInPlace(file, CompactionStep()); }

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

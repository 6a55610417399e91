// Compaction shared by the media and the game window: one place decides
// how a collection is rewritten, so both keep their file safe the same way.
#include "core/Compaction.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

std::string CompactionTarget(const std::string& file) {
  const auto slash = file.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : file.substr(0, slash);
  std::string target = folder + "/Temp.mdb";
  for (int n = 1; vb::FileExists(target); ++n) target = folder + "/Temp" + std::to_string(n) + ".mdb";
  return target;
}

bool AskCompaction(const std::string& fileShown) {
  return vb::MsgBox("Please make a copy of the file " + fileShown + " before compacting database" + "\n" +
                        "Compact database now??",
                    vb::vbYesNo, "Compact Warning") == vb::vbYes;
}

bool CompactInPlace(const std::string& file, const FileStep& compact, const FileStep& replace) {
  std::string target;
  try {
    target = CompactionTarget(file);
    compact(file, target);
    replace(target, file);
    return true;
  } catch (const std::exception&) {
    if (!target.empty() && vb::FileExists(target)) std::remove(target.c_str());
    return false;
  }
}

bool CompactInPlace(const std::string& file) {
  return CompactInPlace(
      file, [](const std::string& from, const std::string& to) { dao::DBEngine::CompactDatabase(from, to); },
      [](const std::string& from, const std::string& to) { vb::Name(from, to); });
}

BusyWindow::BusyWindow(QWidget* window) : window_(window) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (window_) {
    window_->setCursor(Qt::WaitCursor);
    window_->setEnabled(false);
  }
}

void BusyWindow::Done() {
  if (done_) return;
  done_ = true;
  QApplication::restoreOverrideCursor();
  if (window_) {
    window_->setEnabled(true);
    window_->unsetCursor();
  }
}

}  // namespace tvn

#pragma once
// Compacting a collection file, as both catalogue windows do it: the
// question names the file, the compacted copy is made beside the file and
// moved over it in one rename, so the collection keeps its name and is
// never half-written; any failure leaves the file as it was.
#include <QPointer>
#include <functional>
#include <string>

#include "platform/runtime/Busy.h"
#include "platform/runtime/Errors.h"

class QWidget;

namespace tvn {

using FileStep = std::function<void(const std::string& from, const std::string& to)>;

// A name for the compacted copy beside the file that nothing has yet; it
// carries the mark by which the clean-up of leftovers knows it.
std::string CompactionTarget(const std::string& file);

// Asks "Please make a copy of the file ... Compact database now??"; true on
// Yes. A file that cannot be compacted in place (a symbolic link, see
// LinkedFileProblem) is refused with a message instead, and gives false.
bool AskCompaction(const std::string& fileShown);

// A collection or list file is rewritten by moving a new file over its
// name. Where that name is a symbolic link, the move would put a plain file
// in the place of the link and leave the file the link names as it was.
// For such a path: what is wrong, as a sentence after the file's name that
// names the link's target and says the file was not `done` ("compacted",
// "converted"); "" when path is no symbolic link.
std::string LinkedFileProblem(const std::string& path, const std::string& done);

// Raised instead of rewriting a file whose name is a symbolic link: the
// description names the file and says what is wrong; Problem() says it
// without the file's name, as DescribeOpenFailure words its sentences.
class LinkedFileError : public vb::RuntimeError {
 public:
  LinkedFileError(const std::string& path, const std::string& problem)
      : vb::RuntimeError(vb::errPathFileAccess, "The file\n" + path + "\n" + problem), problem_(problem) {}
  const std::string& Problem() const { return problem_; }

 private:
  std::string problem_;
};

// Removes the leftovers of earlier work beside file, compacts file into a
// new copy beside it (compact, run on a worker thread while the windows keep
// painting) and puts the copy in its place (replace). False when a step
// failed or file is a symbolic link: the file is then untouched and no copy
// is left behind.
bool CompactInPlace(const std::string& file, const FileStep& compact, const FileStep& replace);
// The same with the engine's compaction (CompactionStep()) and a rename.
bool CompactInPlace(const std::string& file);
// The compaction step the one-argument CompactInPlace uses: the engine's,
// unless a test put another in.
FileStep& CompactionStep();

// The busy state over a window while a long step runs: the hourglass, the
// window disabled, every window painted and no input taken anywhere.
class BusyWindow {
 public:
  explicit BusyWindow(QWidget* window);
  ~BusyWindow() { Done(); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;
  void Done();

 private:
  QPointer<QWidget> window_;
  vb::BusyScope scope_;
  bool done_ = false;
};

}  // namespace tvn

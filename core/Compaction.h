#pragma once
// Compacting a collection file, as both catalogue windows do it: the
// question names the file, and the engine rewrites the file in place
// through its own journal. The file is never replaced by another one, so a
// program that has it open goes on working on the same file and nothing it
// commits meanwhile is lost; any failure leaves the file as it was.
#include <QPointer>
#include <functional>
#include <string>

#include "platform/runtime/Busy.h"
#include "platform/runtime/Errors.h"

class QWidget;

namespace tvn {

using FileStep = std::function<void(const std::string& file)>;

// Asks "Please make a copy of the file ... Compact database now??"; true on
// Yes.
bool AskCompaction(const std::string& fileShown);

// A list or a collection being converted is rewritten by moving a new file
// over its name. Where that name is a symbolic link, the move would put a
// plain file in the place of the link and leave the file the link names as
// it was. For such a path: what is wrong, as a sentence after the file's
// name that names the link's target and says the file was not `done`
// ("converted"); "" when path is no symbolic link.
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

enum class CompactionResult {
  Compacted,
  Failed,  // the caller says so in its own words
  InUse,   // another program held a write too long; the user has been told, naming the file
};

// Removes the leftovers of earlier work beside file and compacts file in
// place (compact, run on a worker thread while the windows keep painting).
// Anything but Compacted leaves the file as it was. A name that is a
// symbolic link compacts the file it names (the engine follows the link,
// journal and all).
CompactionResult CompactInPlace(const std::string& file, const FileStep& compact);
// The same with CompactionStep().
CompactionResult CompactInPlace(const std::string& file);
// The compaction step both windows use: the engine's, unless a test put
// another in.
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

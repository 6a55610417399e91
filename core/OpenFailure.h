#pragma once
// Saying in words what is wrong with a file the program could not open,
// and telling a failure that may pass (a file in use, one that cannot be
// read just now) from a file that is damaged or of another kind.
#include <exception>
#include <stdexcept>
#include <string>

namespace tvn {

// A problem seen before the file is opened: a folder where the file should
// be, or a database file shorter than its own header says (cut short).
// "" when neither is found.
std::string FileShapeProblem(const std::string& path);

// What is wrong, as a sentence without the file's name: "is a folder, not a
// file.", "is damaged: ...", "is in use by another program ...".
std::string DescribeOpenFailure(const std::exception& error);

// True when the file itself may be sound: it is locked by another program
// or cannot be read or written now (permissions, a journal that cannot be
// rolled back). Such a file is reported, never replaced.
bool IsPassingFailure(const std::exception& error);

// Raised for a problem FileShapeProblem found.
class FileShapeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user chose not to go on (to quit, or not to open a catalogue) after
// the reason was shown.
class OpenDeclined : public std::runtime_error {
 public:
  OpenDeclined() : std::runtime_error("The user chose not to go on.") {}
};

}  // namespace tvn

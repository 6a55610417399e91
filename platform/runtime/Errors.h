#pragma once
// A run-time error with the number and text the user is shown.
#include <stdexcept>
#include <string>

namespace vb {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  int number_;
};

// A command the user stopped by answering Cancel to one of its questions:
// it ends where it stands, and nothing is shown for it.
class Cancelled : public std::runtime_error {
 public:
  Cancelled() : std::runtime_error("Cancelled by the user.") {}
};

// Run-time error numbers of the language runtime itself.
enum RuntimeErrorNumber : int {
  errTypeMismatch = 13,
  errOverflow = 6,
  errFileNotFound = 53,
  errFileAlreadyExists = 58,
  errPermissionDenied = 70,
  errPathNotFound = 76,
  errPathFileAccess = 75,
  errInvalidProcedureCall = 5,
  errInvalidUseOfNull = 94,
  errInternal = 51,
};

// The runtime's own text for one of its error numbers ("" when unknown).
inline const char* ErrorText(int number) {
  switch (number) {
    case errInvalidProcedureCall: return "Invalid procedure call or argument";
    case errOverflow: return "Overflow";
    case errTypeMismatch: return "Type mismatch";
    case errInternal: return "Internal error";
    case errFileNotFound: return "File not found";
    case errFileAlreadyExists: return "File already exists";
    case errPermissionDenied: return "Permission denied";
    case errPathFileAccess: return "Path/File access error";
    case errPathNotFound: return "Path not found";
    case errInvalidUseOfNull: return "Invalid use of Null";
    default: return "";
  }
}

// Raises one of the runtime's errors with its own text.
[[noreturn]] inline void Raise(int number) { throw RuntimeError(number, ErrorText(number)); }

}  // namespace vb

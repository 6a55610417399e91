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
};

}  // namespace vb

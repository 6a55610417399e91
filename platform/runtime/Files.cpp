#include "platform/runtime/Files.h"

#include <cstdlib>

namespace vb {
std::string ProgramFolder() {
  if (const char* h = std::getenv("TAVOLIN_HOME"); h && *h) return h;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/share/tavolin";
}
}  // namespace vb

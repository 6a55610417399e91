#include "platform/runtime/Files.h"

#include <cstdlib>

namespace vb {
std::string ProgramFolder() {
  if (const char* h = std::getenv("TAVOLIN_HOME"); h && *h) return h;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/share/tavolin";
}
}  // namespace vb

namespace vb {
// Minimal form until the full file functions land: separators only.
std::string ResolvePath(const std::string& name) {
  std::string s = name;
  for (char& c : s) if (c == '\\') c = '/';
  return s;
}
}  // namespace vb

#include "core/UniqueName.h"

#include "platform/runtime/Functions.h"

namespace tvn {

std::string NumberedUniqueName(const std::string& name, long width,
                               const std::function<bool(const std::string&)>& taken) {
  std::string candidate = name;
  for (int n = 1; taken(candidate); ++n) {
    const std::string suffix = "-" + std::string(" ") + std::to_string(n + 1);
    // The suffix must fit the column: the name gives way, never the save.
    candidate = vb::Left(name, width - vb::Len(suffix)) + suffix;
  }
  return candidate;
}

}  // namespace tvn

#pragma once
// The name an item is filed under when another item of its section has it
// already: the name, cut where needed, followed by "- 2", "- 3", ... up to
// the first that is free.
#include <functional>
#include <string>

namespace tvn {

// `taken` tells whether a candidate is in use; the result is at most
// `width` characters long.
std::string NumberedUniqueName(const std::string& name, long width,
                               const std::function<bool(const std::string&)>& taken);

}  // namespace tvn

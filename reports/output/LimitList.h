#pragma once
// The entries of a wizard's limit box as one block of UTF-8 text and the
// end of each entry in it: a list of a million titles held as separate
// strings took over 200 MB, as one block it takes the text's own size and
// eight bytes an entry.
#include <string>
#include <string_view>
#include <vector>

namespace tvn::reports {

struct LimitList {
  std::string text;
  std::vector<size_t> ends;

  size_t Size() const { return ends.size(); }
  std::string_view At(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(text).substr(begin, ends[i] - begin);
  }
  void Add(std::string_view entry) {
    text.append(entry);
    ends.push_back(text.size());
  }
};

}  // namespace tvn::reports

#include "reports/output/LimitList.h"

#include <algorithm>

#include "platform/runtime/TextFold.h"

namespace tvn::reports {

namespace {

// The stored positions in letter order: each run sorted on its own, then
// the runs merged.
std::vector<std::uint32_t> LetterOrderInRuns(const LimitList& list, size_t run) {
  const size_t n = list.Size();
  std::vector<std::uint32_t> order(n);
  std::vector<size_t> bounds;
  for (size_t from = 0; from < n; from += run) {
    const size_t count = std::min(run, n - from);
    const std::vector<std::uint32_t> by = vb::LetterOrder(count, [&](size_t i) { return list.Stored(from + i); });
    for (size_t i = 0; i < count; ++i) order[from + i] = static_cast<std::uint32_t>(from + by[i]);
    bounds.push_back(from);
  }
  if (bounds.size() <= 1) return order;
  bounds.push_back(n);
  struct Run {
    size_t at, end;
  };
  std::vector<Run> runs;
  for (size_t r = 0; r + 1 < bounds.size(); ++r) runs.push_back({bounds[r], bounds[r + 1]});
  // A heap of the runs by their next entry; of two equal entries the one
  // added first comes first, as in one stable sort.
  auto after = [&](const Run& a, const Run& b) {
    const int c = vb::CompareLetters(list.Stored(order[a.at]), list.Stored(order[b.at]));
    return c != 0 ? c > 0 : order[a.at] > order[b.at];
  };
  std::vector<std::uint32_t> merged;
  merged.reserve(n);
  std::make_heap(runs.begin(), runs.end(), after);
  while (!runs.empty()) {
    std::pop_heap(runs.begin(), runs.end(), after);
    Run& run = runs.back();
    merged.push_back(order[run.at]);
    if (++run.at < run.end) std::push_heap(runs.begin(), runs.end(), after);
    else runs.pop_back();
  }
  return merged;
}

}  // namespace

std::vector<std::uint32_t> LimitList::LetterOrder(size_t run) const {
  return LetterOrderInRuns(*this, std::max<size_t>(run, 1));
}

}  // namespace tvn::reports

#pragma once
// A stable sort of a long list on every core: a million entries compared
// by their letter keys took a second on one. The list is cut into as many
// runs as there are cores (at most eight), each run sorted on a thread of
// its own, and neighbouring runs merged pairwise, the left run first on a
// tie. For a strict weak order that is exactly the result of one stable
// sort (an order that goes in circles has no one result). Pure work on
// the list: less must be safe to call from several threads at once.
#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

namespace vb {

template <class T, class Less>
void ParallelStableSort(std::vector<T>& items, Less less) {
  constexpr size_t kLeast = 1 << 16;  // below this, threads cost more than they save
  const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  size_t runs = 1;
  while (runs * 2 <= cores) runs *= 2;
  if (items.size() < kLeast || runs < 2) {
    std::stable_sort(items.begin(), items.end(), less);
    return;
  }
  std::vector<size_t> bound(runs + 1);
  for (size_t i = 0; i <= runs; ++i) bound[i] = items.size() * i / runs;
  auto inParallel = [](size_t count, auto work) {
    std::vector<std::thread> threads;
    for (size_t i = 1; i < count; ++i) threads.emplace_back(work, i);
    work(size_t(0));
    for (std::thread& t : threads) t.join();
  };
  inParallel(runs, [&](size_t r) {
    std::stable_sort(items.begin() + std::ptrdiff_t(bound[r]), items.begin() + std::ptrdiff_t(bound[r + 1]), less);
  });
  std::vector<T> merged(items.size());
  for (size_t width = 1; width < runs; width *= 2) {
    inParallel(runs / (2 * width), [&](size_t pair) {
      const size_t first = bound[2 * width * pair], middle = bound[2 * width * pair + width],
                   last = bound[2 * width * (pair + 1)];
      std::merge(items.begin() + std::ptrdiff_t(first), items.begin() + std::ptrdiff_t(middle),
                 items.begin() + std::ptrdiff_t(middle), items.begin() + std::ptrdiff_t(last),
                 merged.begin() + std::ptrdiff_t(first), less);
    });
    items.swap(merged);
  }
}

}  // namespace vb

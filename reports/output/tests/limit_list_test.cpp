// A limit box's list: entries read back as added across its blocks, shown
// through an order, sorted as one stable sort whatever the runs, and
// emptied in part or whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/TextFold.h"
#include "reports/output/LimitList.h"

namespace {

using tvn::reports::LimitList;

std::vector<std::string> Shown(const LimitList& list) {
  std::vector<std::string> out;
  for (size_t i = 0; i < list.Size(); ++i) out.emplace_back(list.At(i));
  return out;
}

TEST(LimitListTest, EntriesReadBackAcrossBlocksAndThroughAnOrder) {
  LimitList list;
  std::vector<std::string> added;
  // Over several blocks of entries, with empty entries and long ones.
  for (int i = 0; i < 20000; ++i) {
    added.push_back(i % 7 == 0 ? std::string() : "Entry " + std::to_string(i) + std::string(size_t(i % 300), 'x'));
    list.Add(added.back());
  }
  EXPECT_EQ(Shown(list), added);

  std::vector<std::uint32_t> reversed;
  for (size_t i = added.size(); i-- > 0;) reversed.push_back(static_cast<std::uint32_t>(i));
  list.SetOrder(reversed);
  EXPECT_EQ(list.At(0), added.back());
  EXPECT_EQ(list.Stored(0), added.front());
  EXPECT_THROW(list.Add("late"), std::logic_error);

  // Taking out shown entries keeps the others in the order shown.
  list.Erase(1, 19998);
  EXPECT_EQ(Shown(list), (std::vector<std::string>{added[19999], added[1], added[0]}));
  list.Erase(0, list.Size());
  EXPECT_EQ(list.Size(), 0u);
  list.Add("again");
  EXPECT_EQ(Shown(list), std::vector<std::string>{"again"});
}

// Sorted in runs and merged, the list comes out as one stable letter sort
// of it: letter case and accents after the letters, equal texts in the
// order added.
TEST(LimitListTest, SortInRunsEqualsOneStableLetterSort) {
  const std::vector<std::string> words{"b", "Ä", "a", "B", "á", "Zed", "zed", "10", "_x", "Émile", "emile", "a", "ß"};
  LimitList list;
  std::vector<std::string> added;
  for (int i = 0; i < 400; ++i) {
    added.push_back(words[size_t(i * 7) % words.size()] + (i % 3 ? std::to_string(i % 17) : std::string()));
    list.Add(added.back());
  }
  std::vector<std::string> expected = added;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& x, const std::string& y) { return vb::CompareLetters(x, y) < 0; });
  for (size_t run : {size_t(1000), size_t(37), size_t(1)}) {
    LimitList sorted = list;
    sorted.SortByLetters(run);
    EXPECT_EQ(Shown(sorted), expected) << "runs of " << run;
  }
}

}  // namespace

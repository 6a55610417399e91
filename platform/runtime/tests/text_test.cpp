#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/TextFold.h"

TEST(TextFold, UnicodeLettersCompareWithoutCase) {
  EXPECT_EQ(vb::CompareNoCase("Édith", "éDITH"), 0);
  EXPECT_EQ(vb::UpperCase("édith"), "ÉDITH");
  EXPECT_LT(vb::CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(vb::CompareNoCase("abcd", "ABC"), 0);
  EXPECT_EQ(vb::LowerCase("ÀB\xff"), "àb\xEF\xBF\xBD");
}

// Sorting many texts compares their letter keys; a key that ordered any
// two texts otherwise than CompareLetters would put rows out of place.
TEST(TextFold, LetterKeysOrderAsTheLettersDo) {
  // Letters with and without accents and case, signs on either side of
  // the letters, characters of two, three and four bytes, a lone
  // continuation byte and a cut sequence.
  const char* const pieces[] = {"a", "A", "b", "Z", "z", "é", "É", "e", "E", "ß", "s", "Ø", "o", "_", " ", "0", "9",
                                "~", "ÿ", "Ÿ", "€", "ж", "Ж", "中", "😀", "\x80", "\xE2\x82", "[", "`", "{"};
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  std::vector<std::string> texts;
  for (int i = 0; i < 400; ++i) {
    std::string t;
    for (int n = int(next() % 5); n > 0; --n) t += pieces[next() % (sizeof pieces / sizeof *pieces)];
    texts.push_back(t);
  }
  for (const std::string& a : texts) {
    const std::string ka = vb::LetterKey(a);
    for (const std::string& b : texts) {
      const int keys = ka.compare(vb::LetterKey(b));
      const int letters = vb::CompareLetters(a, b);
      if (keys != 0) EXPECT_EQ(keys < 0, letters < 0) << a << " | " << b;
      else EXPECT_EQ(vb::CompareLetters(b, a), -letters) << a << " | " << b;
    }
  }
  EXPECT_EQ(vb::LetterKey("Éclair"), vb::LetterKey("eclair"));
  EXPECT_LT(vb::LetterKey("Étude").compare(vb::LetterKey("zappa")), 0);

  // The letter order of a list long enough to be sorted on several
  // threads: the one a stable sort by CompareLetters gives, ties (the same
  // text again, another case) in the order they came.
  std::vector<std::string> many;
  for (int i = 0; i < 150000; ++i) many.push_back(texts[next() % texts.size()] + (i % 3 ? "" : "x"));
  const std::vector<std::uint32_t> by = vb::LetterOrder(many.size(), [&many](size_t i) { return std::string_view(many[i]); });
  std::vector<std::uint32_t> expected(many.size());
  for (std::uint32_t i = 0; i < expected.size(); ++i) expected[i] = i;
  std::stable_sort(expected.begin(), expected.end(),
                   [&many](std::uint32_t a, std::uint32_t b) { return vb::CompareLetters(many[a], many[b]) < 0; });
  EXPECT_TRUE(by == expected);
}

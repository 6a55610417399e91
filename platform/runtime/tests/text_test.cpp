#include <gtest/gtest.h>

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
}

#include <gtest/gtest.h>

#include "platform/runtime/TextFold.h"

TEST(TextFold, UnicodeLettersCompareWithoutCase) {
  EXPECT_EQ(vb::CompareNoCase("Édith", "éDITH"), 0);
  EXPECT_EQ(vb::UpperCase("édith"), "ÉDITH");
  EXPECT_LT(vb::CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(vb::CompareNoCase("abcd", "ABC"), 0);
  EXPECT_EQ(vb::LowerCase("ÀB\xff"), "àb\xEF\xBF\xBD");
}

#include <gtest/gtest.h>

#include "platform/print/Printer.h"

namespace {

TEST(PrinterFlow, StartDocPutsTheCursorAtTheMargins) {
  print::Printer p;
  p.SetMarginTop(770);
  p.StartDoc();
  EXPECT_EQ(p.CurrentX(), 1440);
  EXPECT_EQ(p.CurrentY(), 770);
  EXPECT_EQ(p.PageCount(), 1);
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/runtime/Files.h"

TEST(ProgramFolder, FollowsEnvironment) {
  setenv("TAVOLIN_HOME", "/tmp/x", 1);
  EXPECT_EQ(vb::ProgramFolder(), "/tmp/x");
}

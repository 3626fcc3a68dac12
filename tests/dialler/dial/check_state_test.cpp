#include "dialler/dial/check_state.h"

#include <gtest/gtest.h>

TEST(CheckStateTest, AnyStateButClearAsksForAsynchronousPlayWithAllBitsSet) {
  EXPECT_EQ(AsyncFlagFromCheckState(0), 0);
  EXPECT_EQ(AsyncFlagFromCheckState(1), -1);
  EXPECT_EQ(AsyncFlagFromCheckState(2), -1);  // greyed
  EXPECT_EQ(static_cast<std::uint32_t>(AsyncFlagFromCheckState(1)), 0xFFFFFFFFu);
  EXPECT_EQ(AsyncFlagFromCheckState(0xFFFF), -1);
}

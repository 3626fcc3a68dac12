#include "zelnor/signal/interval.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ClampIntervalMs, BringsAnyRequestIntoFortyToTenThousand) {
  EXPECT_EQ(zelnor::ClampIntervalMs(std::numeric_limits<int32_t>::min()), 40);
  EXPECT_EQ(zelnor::ClampIntervalMs(-1), 40);
  EXPECT_EQ(zelnor::ClampIntervalMs(0), 40);
  EXPECT_EQ(zelnor::ClampIntervalMs(39), 40);
  EXPECT_EQ(zelnor::ClampIntervalMs(40), 40);
  EXPECT_EQ(zelnor::ClampIntervalMs(1234), 1234);
  EXPECT_EQ(zelnor::ClampIntervalMs(10000), 10000);
  EXPECT_EQ(zelnor::ClampIntervalMs(10001), 10000);
  EXPECT_EQ(zelnor::ClampIntervalMs(std::numeric_limits<int32_t>::max()), 10000);
}

#include "common/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> g_closed;

struct FakeTraits {
  using Handle = int;
  static Handle Invalid() noexcept { return -1; }
  static void Close(Handle h) noexcept { g_closed.push_back(h); }
};
using FakeHandle = UniqueHandle<FakeTraits>;

class UniqueHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { g_closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesOnceOnScopeExitAndNeverTheInvalidValue) {
  {
    FakeHandle empty;
    FakeHandle owned(7);
    EXPECT_FALSE(empty);
    EXPECT_TRUE(owned);
  }
  EXPECT_EQ(g_closed, std::vector<int>{7});
}

TEST_F(UniqueHandleTest, MoveTransfersOwnershipAndAssignmentClosesTheOld) {
  FakeHandle a(1);
  FakeHandle b(2);
  b = std::move(a);
  EXPECT_EQ(g_closed, std::vector<int>{2});
  EXPECT_FALSE(a.valid());  // NOLINT(bugprone-use-after-move): moved-from is defined empty
  EXPECT_EQ(b.get(), 1);
  FakeHandle c(std::move(b));
  EXPECT_EQ(c.get(), 1);
  EXPECT_EQ(g_closed, std::vector<int>{2});
}

TEST_F(UniqueHandleTest, ReleaseGivesUpOwnershipWithoutClosing) {
  FakeHandle a(5);
  EXPECT_EQ(a.release(), 5);
  EXPECT_FALSE(a);
  a.reset(6);
  a.reset();
  EXPECT_EQ(g_closed, std::vector<int>{6});
}

}  // namespace

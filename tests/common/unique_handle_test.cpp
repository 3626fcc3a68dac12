#include "common/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> g_closed;

void CloseFake(int handle) noexcept { g_closed.push_back(handle); }
// Like kernel handles: both 0 and -1 mean "no handle".
bool IsFakeHandle(int handle) noexcept { return handle != 0 && handle != -1; }

using FakeHandle = UniqueHandle<int, &CloseFake, &IsFakeHandle>;
using FakeNullableHandle = UniqueHandle<int, &CloseFake>;

class UniqueHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { g_closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesOnceOnScopeExitAndNeverAValueThatIsNoHandle) {
  {
    FakeHandle empty;
    FakeHandle failed(-1);
    FakeHandle owned(7);
    FakeNullableHandle owned_minus_one(-1);
    EXPECT_FALSE(empty);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(owned);
    EXPECT_TRUE(owned_minus_one);
  }
  EXPECT_EQ(g_closed, (std::vector<int>{-1, 7}));
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

TEST_F(UniqueHandleTest, PutClosesTheHeldHandleAndReceivesANewOne) {
  FakeHandle a(8);
  *a.put() = 9;
  EXPECT_EQ(g_closed, std::vector<int>{8});
  EXPECT_EQ(a.get(), 9);
}

}  // namespace

#include "platform/scoped_owner.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nodmark::platform {
namespace {

// Handles are small integers; releasing one records it.
std::vector<int>& Released() {
  static std::vector<int> released;
  return released;
}
void RecordRelease(int handle) { Released().push_back(handle); }
using Owner = UniqueOwner<int, RecordRelease>;

class UniqueOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override { Released().clear(); }
};

TEST_F(UniqueOwnerTest, ReleasesItsHandleOnceWhenItGoes) {
  {
    const Owner owner(7);
    const Owner empty;
  }
  EXPECT_EQ(Released(), std::vector<int>{7});
}

TEST_F(UniqueOwnerTest, MoveHandsTheHandleOver) {
  {
    Owner first(3);
    Owner second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(second.get(), 3);
    EXPECT_TRUE(Released().empty());

    Owner third(4);
    third = std::move(second);  // 4 goes, 3 moves in
    EXPECT_EQ(Released(), std::vector<int>{4});
    EXPECT_EQ(third.get(), 3);
  }
  EXPECT_EQ(Released(), (std::vector<int>{4, 3}));
}

TEST_F(UniqueOwnerTest, ReleaseGivesUpWithoutReleasing) {
  Owner owner(5);
  EXPECT_EQ(owner.release(), 5);
  EXPECT_FALSE(owner);
  owner.reset();
  EXPECT_TRUE(Released().empty());
}

TEST_F(UniqueOwnerTest, ResetReleasesTheOldHandle) {
  Owner owner(1);
  owner.reset(2);
  EXPECT_EQ(Released(), std::vector<int>{1});
  owner.reset();
  EXPECT_EQ(Released(), (std::vector<int>{1, 2}));
  EXPECT_FALSE(owner);
}

TEST_F(UniqueOwnerTest, PutLetsACallWriteIntoAnEmptyOwner) {
  Owner owner;
  *owner.put() = 9;
  EXPECT_EQ(owner.get(), 9);
  EXPECT_TRUE(Released().empty());
}

}  // namespace
}  // namespace nodmark::platform

// The machine-wide lock on Linux: flock() on a private store directory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/machine_lock.h"
#include "platform/posix/scoped_fd.h"
#include "platform/test_system_directory.h"

namespace nodmark::platform {
namespace {

namespace fs = std::filesystem;

class PosixMachineLockTest : public ::testing::Test {
 protected:
  void SetUp() override { directory = test::PrepareTestSystemDirectory(); }
  void TearDown() override { test::ReleaseTestSystemDirectory(directory); }

  std::string directory;
};

TEST_F(PosixMachineLockTest, TakenOnTheStoreDirectoryWhichItCreatesWhenMissing) {
  fs::remove(directory);
  MachineLock lock = TakeMachineLock(directory, /*timeoutMilliseconds=*/0);
  EXPECT_EQ(lock.state, MachineLockState::kTaken);
  EXPECT_TRUE(lock.held());
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_TRUE(fs::is_empty(directory)) << "no file but the store file is made";

  // Held on the directory itself: another open file of it cannot have it meanwhile.
  const ScopedFd other(::open(directory.c_str(), O_RDONLY | O_DIRECTORY));
  EXPECT_NE(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
  lock.owner.reset();
  EXPECT_EQ(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
}

TEST_F(PosixMachineLockTest, HeldElsewhereTimesOutAfterTheBoundAndIsNotHeld) {
  const ScopedFd holder(::open(directory.c_str(), O_RDONLY | O_DIRECTORY));
  ASSERT_EQ(::flock(holder.get(), LOCK_EX | LOCK_NB), 0);
  constexpr std::uint32_t kBound = 100;
  const auto start = std::chrono::steady_clock::now();
  const MachineLock lock = TakeMachineLock(directory, kBound);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(lock.state, MachineLockState::kTimedOut);
  EXPECT_FALSE(lock.held());
  EXPECT_GE(waited, std::chrono::milliseconds(kBound));
  EXPECT_LT(waited, std::chrono::milliseconds(kBound) + std::chrono::seconds(1))
      << "a wait ends soon after its bound";
}

TEST_F(PosixMachineLockTest, DirectoryThatCannotBeMadeLeavesTheLockUnavailable) {
  const MachineLock lock =
      TakeMachineLock(directory + "/missing/store", /*timeoutMilliseconds=*/1000);
  EXPECT_EQ(lock.state, MachineLockState::kUnavailable);
  EXPECT_FALSE(lock.held());
}

}  // namespace
}  // namespace nodmark::platform

// The machine-wide lock on Linux, and the store behind it: flock() on a private store
// directory; processes making the first call at the same moment, as programs started
// together at the first logon do (forked children released together from a pipe).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "instrumented_run.h"
#include "platform/machine_lock.h"
#include "platform/posix/scoped_fd.h"
#include "platform/profile.h"
#include "platform/system_directory.h"
#include "platform/test_system_directory.h"
#include "sources/random_id_store.h"

namespace nodmark::platform {
namespace {

namespace fs = std::filesystem;

class PosixMachineLockTest : public ::testing::Test {
 protected:
  void SetUp() override { directory = test::PrepareTestSystemDirectory(); }
  void TearDown() override { test::ReleaseTestSystemDirectory(directory); }

  std::string directory;
};

TEST_F(PosixMachineLockTest, OneHolderAtATimeAndAWaitEndsAtItsBound) {
  fs::remove(directory);
  MachineLock lock = TakeMachineLock(directory, /*timeoutMilliseconds=*/0);
  EXPECT_EQ(lock.state, MachineLockState::kTaken);
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_TRUE(fs::is_empty(directory)) << "no file but the store file is made";

  constexpr std::uint32_t kBound = 100;
  const auto start = std::chrono::steady_clock::now();
  const MachineLock waiting = TakeMachineLock(directory, kBound);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(waiting.state, MachineLockState::kTimedOut);
  EXPECT_FALSE(waiting.held());
  EXPECT_GE(waited, std::chrono::milliseconds(kBound));
  EXPECT_LT(waited, std::chrono::milliseconds(kBound) + std::chrono::seconds(1));

  lock.owner.reset();
  EXPECT_TRUE(TakeMachineLock(directory, /*timeoutMilliseconds=*/0).held());
}

TEST_F(PosixMachineLockTest, DirectoryThatCannotBeMadeLeavesTheLockUnavailable) {
  const MachineLock lock =
      TakeMachineLock(directory + "/missing/store", /*timeoutMilliseconds=*/1000);
  EXPECT_EQ(lock.state, MachineLockState::kUnavailable);
  EXPECT_FALSE(lock.held());
}

// --- Processes racing to the first draw ---------------------------------------------

constexpr int kProcesses = 6;
constexpr int kRounds = 30;
constexpr int kExitFailure = 1;

struct Pipe {
  ScopedFd read;
  ScopedFd write;
};

Pipe OpenPipe() {
  int ends[2] = {-1, -1};
  if (::pipe(ends) != 0) return {};
  return {ScopedFd(ends[0]), ScopedFd(ends[1])};
}

// In a child: waits until every end of `start` that writes is closed, resolves the
// identifier and sends "VALUE OUTCOME\n" (one write, shorter than PIPE_BUF, so the
// children's lines do not mix).
[[noreturn]] void RaceInChild(Pipe& start, Pipe& results) {
  start.write.reset();
  results.read.reset();
  char byte = 0;
  while (::read(start.read.get(), &byte, 1) > 0) {
  }
  const sources::StoredRandomIdReport report = sources::ResolveStoredRandomId();
  const std::string line =
      report.value + " " + std::to_string(static_cast<int>(report.outcome)) + "\n";
  const bool sent =
      ::write(results.write.get(), line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ::_exit(sent ? 0 : kExitFailure);
}

// The lines of kProcesses children released at once; empty when a child failed.
std::vector<std::string> RaceFirstCalls() {
  Pipe start = OpenPipe();
  Pipe results = OpenPipe();
  if (!start.read || !results.read) return {};
  std::vector<pid_t> children;
  for (int i = 0; i < kProcesses; ++i) {
    const pid_t child = ::fork();
    if (child == 0) RaceInChild(start, results);
    if (child > 0) children.push_back(child);
  }
  start = {};  // every child now sees end of file at once
  results.write.reset();
  bool allExited = children.size() == kProcesses;
  for (const pid_t child : children) {
    int status = 0;
    allExited = ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                WEXITSTATUS(status) == 0 && allExited;
  }
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = ::read(results.read.get(), chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<std::size_t>(got));
  }
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (!allExited) lines.clear();
  return lines;
}

TEST(StoreRace, ProcessesStartingTogetherAllReturnTheValueTheFileKeeps) {
  const std::string directory = test::PrepareTestSystemDirectory();
  const std::string path = AppendPathComponent(directory, sources::kStoreFileName);
  const std::string written =
      std::to_string(static_cast<int>(sources::StoreOutcome::kValueWritten));
  // Under valgrind, whose forked children stay under it, one round of each kind checks the
  // memory of both sides; the plain run races often enough to catch a split.
  const int rounds = nodmark::testing::RunningUnderValgrind() ? 3 : kRounds;
  int splitRounds = 0;
  for (int round = 0; round < rounds; ++round) {
    // A machine without the store directory, with it empty, and with "000" stored.
    fs::remove_all(directory);
    if (round % 3 != 0) fs::create_directory(directory);
    if (round % 3 == 2) {
      ASSERT_TRUE(WriteProfileValue(sources::kStoreSection, sources::kStoreKey,
                                    sources::kAbsentRandomId, path));
    }
    const std::vector<std::string> lines = RaceFirstCalls();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kProcesses)) << "round " << round;
    const std::string stored = ReadProfileValue(sources::kStoreSection, sources::kStoreKey, "",
                                                sources::kStoreReadCapacity, path);
    int writers = 0;
    bool split = false;
    for (const std::string& line : lines) {
      split = split || line.substr(0, line.find(' ')) != stored;
      writers += line.substr(line.find(' ') + 1) == written;
    }
    splitRounds += split;
    EXPECT_FALSE(split) << "round " << round << ": the file keeps " << stored;
    EXPECT_EQ(writers, 1) << "round " << round;
  }
  EXPECT_EQ(splitRounds, 0) << "rounds in which the processes told different values, of " << rounds;
  test::ReleaseTestSystemDirectory(directory);
}

}  // namespace
}  // namespace nodmark::platform

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "fake/fake_clock.h"
#include "fake/fake_machine_lock.h"
#include "fake/fake_profile.h"
#include "fake/fake_system_directory.h"
#include "sources/machine_sources.h"
#include "sources/random_draw.h"
#include "sources/random_id_store.h"

namespace nodmark::sources {
namespace {

using platform::MachineLockState;

constexpr char kStoreDirectory[] = "C:\\WINDOWS\\system32";
constexpr char kStorePath[] = "C:\\WINDOWS\\system32\\pub_store.dat";
// Tick count 1 and calendar time 1 draw 41 + 41 = 82, which is "A20".
constexpr char kValueDrawnAtOne[] = "A20";

// A seed whose first generator output is `output`.
std::uint32_t SeedGiving(std::uint32_t output) {
  for (std::uint32_t seed = 0;; ++seed) {
    if (FirstGeneratorOutput(seed) == output) return seed;
  }
}

class StoredRandomIdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = &fake::ResetSystemDirectory();
    profiles = &fake::ResetProfiles();
    clock = &fake::ResetClock();
    locks = &fake::ResetMachineLocks();
  }

  void Store(const std::string& value) { profiles->files[kStorePath]["nodmark"]["rand"] = value; }
  std::optional<std::string> Stored() const {
    return profiles->Value(kStorePath, "nodmark", "rand");
  }

  fake::SystemDirectoryScript* directory = nullptr;
  fake::ProfileScript* profiles = nullptr;
  fake::ClockScript* clock = nullptr;
  fake::MachineLockScript* locks = nullptr;
};

TEST_F(StoredRandomIdTest, NoFileDrawsWritesAndTheNextCallReadsItBack) {
  const StoredRandomIdReport first = ResolveStoredRandomId();
  EXPECT_EQ(first.value, kValueDrawnAtOne);
  EXPECT_EQ(first.outcome, StoreOutcome::kValueWritten);
  EXPECT_EQ(first.filePath, kStorePath);
  EXPECT_EQ(profiles->lastReadPath, kStorePath);
  EXPECT_EQ(profiles->lastCapacity, 2048u);
  EXPECT_EQ(Stored(), kValueDrawnAtOne);
  EXPECT_EQ(profiles->writes, 1);
  // Drawn under the machine-wide lock of the store's directory, after a second read,
  // and the lock released before the call returned.
  EXPECT_EQ(first.lock, StoreLock::kTaken);
  EXPECT_EQ(locks->lastDirectory, kStoreDirectory);
  EXPECT_EQ(profiles->reads, 2);
  EXPECT_EQ(locks->releases, 1);

  clock->tickCounts = {777};  // a new draw would now give another value
  const StoredRandomIdReport second = ResolveStoredRandomId();
  EXPECT_EQ(second.value, kValueDrawnAtOne);
  EXPECT_EQ(second.outcome, StoreOutcome::kValueRead);
  EXPECT_EQ(second.lock, StoreLock::kNotNeeded);
  EXPECT_EQ(profiles->writes, 1);
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
  EXPECT_EQ(locks->attempts, 1) << "reading a present value takes no lock";
}

TEST_F(StoredRandomIdTest, WithoutTheLockOrAfterTakingItOverTheCallDrawsAsOnItsOwn) {
  const struct {
    MachineLockState state;
    StoreLock reported;
    int reads;  // the file is read again unless the lock could not be had at all
    int releases;
  } cases[] = {
      {MachineLockState::kTakenOver, StoreLock::kTakenOver, 2, 1},
      {MachineLockState::kTimedOut, StoreLock::kTimedOut, 2, 0},
      {MachineLockState::kUnavailable, StoreLock::kUnavailable, 1, 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SetUp();
    locks->state = cases[i].state;
    const StoredRandomIdReport report = ResolveStoredRandomId();
    EXPECT_EQ(report.value, kValueDrawnAtOne) << "case " << i;
    EXPECT_EQ(report.outcome, StoreOutcome::kValueWritten) << "case " << i;
    EXPECT_EQ(report.lock, cases[i].reported) << "case " << i;
    EXPECT_EQ(Stored(), kValueDrawnAtOne) << "case " << i;
    EXPECT_EQ(profiles->reads, cases[i].reads) << "case " << i;
    EXPECT_EQ(locks->releases, cases[i].releases) << "case " << i;
  }
}

TEST_F(StoredRandomIdTest, ValueStoredWhileWaitingForTheLockIsReturnedAndNotOverwritten) {
  const struct {
    MachineLockState state;
    const char* storedMeanwhile;
    const char* value;
    StoreOutcome outcome;
  } cases[] = {
      {MachineLockState::kTaken, "Q7X", "Q7X", StoreOutcome::kValueReadAfterWait},
      {MachineLockState::kTakenOver, "Q7X", "Q7X", StoreOutcome::kValueReadAfterWait},
      {MachineLockState::kTimedOut, "Q7X", "Q7X", StoreOutcome::kValueReadAfterWait},
      {MachineLockState::kTaken, "", "ZZZ", StoreOutcome::kEmptyValue},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SetUp();
    locks->state = cases[i].state;
    const std::string storedMeanwhile = cases[i].storedMeanwhile;
    locks->whileWaiting = [&] { Store(storedMeanwhile); };
    const StoredRandomIdReport report = ResolveStoredRandomId();
    EXPECT_EQ(report.value, cases[i].value) << "case " << i;
    EXPECT_EQ(report.outcome, cases[i].outcome) << "case " << i;
    EXPECT_EQ(Stored(), storedMeanwhile) << "case " << i;
    EXPECT_EQ(profiles->writes, 0) << "case " << i;
    EXPECT_EQ(clock->tickReads, 0u) << "case " << i << ": nothing drawn";
  }
}

TEST_F(StoredRandomIdTest, MissingSectionOrKeyCountsAsNoValue) {
  profiles->files[kStorePath]["other"]["rand"] = "QQQ";
  profiles->files[kStorePath]["nodmark"]["other"] = "RRR";
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
  EXPECT_EQ(Stored(), kValueDrawnAtOne);
  EXPECT_EQ(profiles->Value(kStorePath, "other", "rand"), "QQQ");
}

TEST_F(StoredRandomIdTest, StoredZerosAreReplacedByANewDraw) {
  Store("000");
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
  EXPECT_EQ(Stored(), kValueDrawnAtOne);
  EXPECT_EQ(profiles->writes, 1);
}

TEST_F(StoredRandomIdTest, DrawsGivingZerosAreRepeated) {
  // 32767 + 13888 = 46655 and 0 + 0 = 0 both encode to "000"; the third draw counts.
  clock->tickCounts = {SeedGiving(32767), SeedGiving(0), 1};
  clock->calendarTimes = {SeedGiving(13888), SeedGiving(0), 1};
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
  EXPECT_EQ(clock->tickReads, 3u);
  EXPECT_EQ(clock->calendarReads, 3u);
  EXPECT_EQ(Stored(), kValueDrawnAtOne);
  EXPECT_EQ(profiles->writes, 1);
}

TEST_F(StoredRandomIdTest, AnyOtherStoredValueComesBackUnchecked) {
  for (const char* value : {"abc", "HELLO", "ZZZ", "0", "00", "0000", " 0 0"}) {
    Store(value);
    const StoredRandomIdReport report = ResolveStoredRandomId();
    EXPECT_EQ(report.value, value);
    EXPECT_EQ(report.outcome, StoreOutcome::kValueRead) << value;
    EXPECT_EQ(Stored(), value);
  }
  EXPECT_EQ(profiles->writes, 0);
  EXPECT_EQ(clock->tickReads, 0u);
  EXPECT_EQ(locks->attempts, 0);
}

TEST_F(StoredRandomIdTest, LongValuesComeBackAsTheReadBufferHoldsThem) {
  const std::string long2047(2047, 'L');
  Store(long2047);
  EXPECT_EQ(ReadStoredRandomId(), long2047);

  Store(std::string(5000, 'M'));
  EXPECT_EQ(ReadStoredRandomId(), std::string(2047, 'M'));
  EXPECT_EQ(profiles->writes, 0);
}

TEST_F(StoredRandomIdTest, EmptyValueGivesTheFailureValueAndIsLeftAlone) {
  Store("");
  const StoredRandomIdReport report = ResolveStoredRandomId();
  EXPECT_EQ(report.value, "ZZZ");
  EXPECT_EQ(report.outcome, StoreOutcome::kEmptyValue);
  EXPECT_EQ(ReadStoredRandomId(), "ZZZ");
  EXPECT_EQ(profiles->writes, 0);
  EXPECT_EQ(Stored(), "");
}

TEST_F(StoredRandomIdTest, RefusedWriteGivesTheFailureValueAndTheNextCallDrawsAgain) {
  profiles->refuseWrites = true;
  const StoredRandomIdReport refused = ResolveStoredRandomId();
  EXPECT_EQ(refused.value, "ZZZ");
  EXPECT_EQ(refused.outcome, StoreOutcome::kWriteFailed);
  EXPECT_EQ(refused.filePath, kStorePath);
  EXPECT_EQ(profiles->writes, 1);
  EXPECT_FALSE(Stored().has_value());

  EXPECT_EQ(ReadStoredRandomId(), "ZZZ");
  EXPECT_EQ(profiles->writes, 2);
  EXPECT_EQ(clock->tickReads, 2u);

  profiles->refuseWrites = false;
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
  EXPECT_EQ(Stored(), kValueDrawnAtOne);
}

TEST_F(StoredRandomIdTest, NoSystemDirectoryGivesTheFailureValueWithoutTouchingFiles) {
  directory->directory.reset();
  const StoredRandomIdReport report = ResolveStoredRandomId();
  EXPECT_EQ(report.value, "ZZZ");
  EXPECT_EQ(report.outcome, StoreOutcome::kNoSystemDirectory);
  EXPECT_TRUE(report.filePath.empty());
  EXPECT_FALSE(LocateStoreFile().has_value());
  EXPECT_EQ(profiles->reads, 0);
  EXPECT_EQ(profiles->writes, 0);
}

TEST_F(StoredRandomIdTest, LocatingTheStoreTouchesNoFile) {
  EXPECT_EQ(LocateStoreFile(), kStorePath);
  EXPECT_EQ(profiles->reads, 0);
  EXPECT_EQ(profiles->writes, 0);
}

// A 32-bit process on 64-bit Windows: the file is named where it lies, and still
// opened by the name the process sees.
TEST_F(StoredRandomIdTest, StoreIsNamedWhereItLiesAndOpenedAsBefore) {
  directory->location = "C:\\WINDOWS\\SysWOW64";
  EXPECT_EQ(LocateStoreFile(), "C:\\WINDOWS\\SysWOW64\\pub_store.dat");
  EXPECT_EQ(ResolveStoredRandomId().filePath, kStorePath);
  EXPECT_EQ(profiles->lastWritePath, kStorePath);
}

}  // namespace
}  // namespace nodmark::sources

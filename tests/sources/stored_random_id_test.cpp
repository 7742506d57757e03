#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fake/fake_clock.h"
#include "fake/fake_profile.h"
#include "fake/fake_system_directory.h"
#include "sources/machine_sources.h"
#include "sources/random_draw.h"
#include "sources/random_id_store.h"

namespace nodmark::sources {
namespace {

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
  }

  void Store(const std::string& value) { profiles->files[kStorePath]["nodmark"]["rand"] = value; }
  std::optional<std::string> Stored() const {
    return profiles->Value(kStorePath, "nodmark", "rand");
  }

  fake::SystemDirectoryScript* directory = nullptr;
  fake::ProfileScript* profiles = nullptr;
  fake::ClockScript* clock = nullptr;
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

  clock->tickCounts = {777};  // a new draw would now give another value
  const StoredRandomIdReport second = ResolveStoredRandomId();
  EXPECT_EQ(second.value, kValueDrawnAtOne);
  EXPECT_EQ(second.outcome, StoreOutcome::kValueRead);
  EXPECT_EQ(profiles->writes, 1);
  EXPECT_EQ(ReadStoredRandomId(), kValueDrawnAtOne);
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

}  // namespace
}  // namespace nodmark::sources

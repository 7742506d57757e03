#include "tools/seeding/seed_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "fake/fake_clock.h"
#include "fake/fake_machine_lock.h"
#include "fake/fake_profile.h"
#include "fake/fake_system_directory.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

constexpr char kStorePath[] = "C:\\WINDOWS\\system32\\pub_store.dat";
// Tick count 1 and calendar time 1 draw "A20".
constexpr char kDrawn[] = "A20";

struct SeedCase {
  const char* name;
  std::function<void()> machine;         // the store before the run
  int status;                            // what --seed-store answers
  std::optional<std::string> afterward;  // the stored value after it
};

// By name: the bytes of the case, padding included, are not for printing.
void PrintTo(const SeedCase& scenario, std::ostream* out) { *out << scenario.name; }

std::optional<std::string> Stored() {
  return fake::Profiles().Value(kStorePath, "nodmark", "rand");
}
void Store(const std::string& value) {
  fake::Profiles().files[kStorePath]["nodmark"]["rand"] = value;
}

const SeedCase kCases[] = {
    {"NoFile", [] {}, kSeedKept, kDrawn},
    {"Value000", [] { Store("000"); }, kSeedKept, kDrawn},
    {"ValueAbcKept", [] { Store("abc"); }, kSeedKept, "abc"},
    {"ValueHelloKept", [] { Store("HELLO"); }, kSeedKept, "HELLO"},
    {"LockUnavailable",
     [] { fake::MachineLocks().state = platform::MachineLockState::kUnavailable; }, kSeedKept,
     kDrawn},
    {"EmptyValueKept", [] { Store(""); }, kSeedEmptyValue, ""},
    {"WriteRefused", [] { fake::Profiles().refuseWrites = true; }, kSeedWriteFailed, std::nullopt},
    {"NoSystemDirectory", [] { fake::SystemDirectory().directory.reset(); }, kSeedNoSystemDirectory,
     std::nullopt},
};

class SeedStoreTest : public ::testing::TestWithParam<SeedCase> {};

TEST_P(SeedStoreTest, AnswersWhetherTheStoreHoldsAKeptValue) {
  fake::ResetSystemDirectory();
  fake::ResetProfiles();
  fake::ResetClock();
  fake::ResetMachineLocks();
  const SeedCase& scenario = GetParam();
  scenario.machine();
  const int writesBefore = fake::Profiles().writes;
  EXPECT_EQ(SeedStore(), scenario.status);
  EXPECT_EQ(Stored(), scenario.afterward);
  if (scenario.afterward != kDrawn) {
    EXPECT_EQ(fake::Profiles().writes - writesBefore, scenario.status == kSeedWriteFailed)
        << "only a missing value is drawn and written";
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, SeedStoreTest, ::testing::ValuesIn(kCases), CaseName());

}  // namespace
}  // namespace nodmark::tools

// The stored random identifier over arbitrary store contents, on the scripted platform:
// the file, section or key missing or present, the value any bytes of any length, writes
// allowed or refused, any system directory and clock.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "fake/fake_clock.h"
#include "fake/fake_profile.h"
#include "fake/fake_system_directory.h"
#include "fuzz/fuzz_check.h"
#include "sources/machine_sources.h"
#include "sources/random_id_store.h"

namespace nodmark::fuzz {
namespace {

constexpr std::size_t kMaxDirectoryLength = 40;
constexpr std::size_t kMaxNameLength = 12;
constexpr std::size_t kDrawnLength = 3;

enum class StoreShape { kNoFile, kOtherSection, kOtherKey, kValue, kMaxValue = kValue };

bool IsDrawnValue(const std::string& value) {
  return value.size() == kDrawnLength && value != sources::kAbsentRandomId &&
         value != sources::kFailedRandomId && std::all_of(value.begin(), value.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
         });
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  using fuzz::Require;
  FuzzedDataProvider provider(data, size);

  fake::SystemDirectoryScript& directory = fake::ResetSystemDirectory();
  if (provider.ConsumeIntegralInRange<int>(0, 15) == 0) {
    directory.directory.reset();
  } else if (provider.ConsumeBool()) {
    directory.directory = provider.ConsumeRandomLengthString(fuzz::kMaxDirectoryLength);
  }
  // A real clock moves on: a draw that must be repeated gets another seed.
  fake::ClockScript& clock = fake::ResetClock();
  const std::uint32_t tick = provider.ConsumeIntegral<std::uint32_t>();
  clock.tickCounts = {tick, tick + 1};
  clock.calendarTimes = {provider.ConsumeIntegral<std::int64_t>()};

  fake::ProfileScript& profiles = fake::ResetProfiles();
  profiles.refuseWrites = provider.ConsumeBool();
  const std::string path =
      directory.directory ? *directory.directory + "\\" + sources::kStoreFileName : "";
  const auto shape = provider.ConsumeEnum<fuzz::StoreShape>();
  const std::string otherName = provider.ConsumeRandomLengthString(fuzz::kMaxNameLength);
  const std::string value = provider.ConsumeRemainingBytesAsString();
  switch (shape) {
    case fuzz::StoreShape::kNoFile:
      break;
    case fuzz::StoreShape::kOtherSection:
      profiles.files[path][otherName + "x"][sources::kStoreKey] = value;
      break;
    case fuzz::StoreShape::kOtherKey:
      profiles.files[path][sources::kStoreSection][otherName + "x"] = value;
      break;
    case fuzz::StoreShape::kValue:
      profiles.files[path][sources::kStoreSection][sources::kStoreKey] = value;
      break;
  }
  const fake::ProfileScript::File before =
      profiles.files.count(path) ? profiles.files[path] : fake::ProfileScript::File{};

  const std::string result = sources::ReadStoredRandomId();
  Require(!result.empty(), "never empty");

  const std::string read = value.substr(0, sources::kStoreReadCapacity - 1);
  const bool stored = shape == fuzz::StoreShape::kValue;
  if (!directory.directory) {
    Require(result == sources::kFailedRandomId && profiles.reads == 0 && profiles.writes == 0,
            "without a system directory: ZZZ, nothing read or written");
  } else if (stored && read.empty()) {
    Require(result == sources::kFailedRandomId && profiles.writes == 0,
            "an empty stored value: ZZZ, and it is left alone");
  } else if (stored && read != sources::kAbsentRandomId) {
    Require(result == read && profiles.writes == 0,
            "any other stored value comes back as read (up to 2047 characters), unwritten");
  } else if (profiles.refuseWrites) {
    Require(result == sources::kFailedRandomId && profiles.writes == 1,
            "a refused write gives ZZZ after one attempt");
  } else {
    Require(fuzz::IsDrawnValue(result) && profiles.writes == 1,
            "a missing or 000 value is replaced by one drawn value");
    Require(profiles.Value(path, sources::kStoreSection, sources::kStoreKey) == result,
            "the drawn value is the one stored");
  }

  // Whatever happened, nothing but the key itself changed.
  fake::ProfileScript::File after =
      profiles.files.count(path) ? profiles.files[path] : fake::ProfileScript::File{};
  fake::ProfileScript::File beforeWithoutKey = before;
  if (beforeWithoutKey.count(sources::kStoreSection)) {
    beforeWithoutKey[sources::kStoreSection].erase(sources::kStoreKey);
    if (beforeWithoutKey[sources::kStoreSection].empty()) {
      beforeWithoutKey.erase(sources::kStoreSection);
    }
  }
  if (after.count(sources::kStoreSection)) {
    after[sources::kStoreSection].erase(sources::kStoreKey);
    if (after[sources::kStoreSection].empty()) after.erase(sources::kStoreSection);
  }
  Require(after == beforeWithoutKey, "every other section and key of the store is kept");
  return 0;
}

#include "sources/settings_tag.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>

#include "sources/component_settings.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

TEST(ComponentSettings, ThreadsRacingToTheFirstUseShareOneInstance) {
  // First in its program, so the two threads race to create the instance (natively
  // each case runs in a fresh process anyway).
  const ComponentSettings* seen[2] = {};
  std::thread first([&] { seen[0] = &ComponentSettings::Instance(); });
  std::thread second([&] { seen[1] = &ComponentSettings::Instance(); });
  first.join();
  second.join();
  EXPECT_NE(seen[0], nullptr);
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(seen[0], &ComponentSettings::Instance());
}

// The tag for every count of significant bits, 0 to 32, checked at both ends of each
// count's range of values.
TEST(SettingsTagFor, GivesOneCharacterPerBitLengthAndNeverSeven) {
  const std::string kTagByBitLength =
      "123456"
      "89"
      "ABCDEFGHIJKLMNOPQRSTUVWXY";
  ASSERT_EQ(kTagByBitLength.size(), 33u);
  EXPECT_EQ(SettingsTagFor(0), '1');
  for (int bits = 1; bits <= 32; ++bits) {
    const std::uint32_t smallest = std::uint32_t{1} << (bits - 1);
    const std::uint32_t largest = smallest | (smallest - 1);
    EXPECT_EQ(SettingsTagFor(smallest), kTagByBitLength[bits]) << bits << " bits";
    EXPECT_EQ(SettingsTagFor(largest), kTagByBitLength[bits]) << bits << " bits";
    EXPECT_NE(SettingsTagFor(smallest), '7') << bits << " bits";
  }
}

TEST(ReadSettingsTag, InitialSettingsGiveFour) {
  EXPECT_EQ(ReadSettingsTag(), "4");
  EXPECT_EQ(ReadSettingsTag(), "4");  // the same instance the second time
}

}  // namespace
}  // namespace nodmark::sources

#include "sources/random_draw.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "fake/fake_clock.h"

namespace nodmark::sources {
namespace {

TEST(FirstGeneratorOutput, MatchesTheGeneratorPeersDrawWith) {
  const struct {
    std::uint32_t seed;
    std::uint32_t output;
  } kCases[] = {
      {0, 38},            // the increment alone
      {1, 41},            // the example peers quote
      {2, 45},            // twice the multiplier
      {12345, 7584},      // the state's bit 31 is set and masked off
      {100000, 31684},    // seed * multiplier wraps past 2^32
      {0x80000000u, 38},  // the seed's top bit only reaches the masked bit 31
      {0xFFFFFFFFu, 35},  // the multiplier subtracted from the increment
  };
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(FirstGeneratorOutput(kCases[i].seed), kCases[i].output) << "case " << i;
  }
}

TEST(DrawRandomNumber, AddsTheFirstOutputsSeededByTickCountAndCalendarTime) {
  fake::ClockScript& clock = fake::ResetClock();
  clock.tickCounts = {1};
  clock.calendarTimes = {1};
  EXPECT_EQ(DrawRandomNumber(), 82u);
  EXPECT_EQ(clock.tickReads, 1u);
  EXPECT_EQ(clock.calendarReads, 1u);

  clock.tickCounts = {2};
  clock.calendarTimes = {0};
  EXPECT_EQ(DrawRandomNumber(), 45u + 38u);
}

TEST(DrawRandomNumber, TakesTheCalendarTimeCutTo32Bits) {
  fake::ClockScript& clock = fake::ResetClock();
  clock.tickCounts = {0};
  clock.calendarTimes = {0x100000001};  // a calendar time past 2106
  EXPECT_EQ(DrawRandomNumber(), 38u + 41u);
}

}  // namespace
}  // namespace nodmark::sources

#include "sources/random_draw.h"

#include "platform/clock.h"

namespace nodmark::sources {
namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kOutputShift = 16;
constexpr std::uint32_t kOutputMask = 0x7FFF;

}  // namespace

std::uint32_t FirstGeneratorOutput(std::uint32_t seed) {
  // Unsigned arithmetic wraps modulo 2^32, as the generator's state does.
  const std::uint32_t state = seed * kMultiplier + kIncrement;
  return (state >> kOutputShift) & kOutputMask;
}

std::uint32_t DrawRandomNumber() {
  const std::uint32_t fromTicks = FirstGeneratorOutput(platform::QueryTickCount());
  const std::uint32_t fromCalendar =
      FirstGeneratorOutput(static_cast<std::uint32_t>(platform::QueryCalendarTime()));
  return fromTicks + fromCalendar;
}

}  // namespace nodmark::sources

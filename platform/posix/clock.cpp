#include "platform/clock.h"

#include <time.h>

namespace nodmark::platform {
namespace {

constexpr std::uint64_t kMillisecondsPerSecond = 1000;
constexpr std::uint64_t kNanosecondsPerMillisecond = 1000000;

}  // namespace

std::uint32_t QueryTickCount() {
  // The monotonic clock counts from an unspecified point near boot on Linux, which is
  // what a tick count means; it only seeds the random draw.
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const std::uint64_t milliseconds =
      static_cast<std::uint64_t>(now.tv_sec) * kMillisecondsPerSecond +
      static_cast<std::uint64_t>(now.tv_nsec) / kNanosecondsPerMillisecond;
  return static_cast<std::uint32_t>(milliseconds);
}

std::int64_t QueryCalendarTime() { return static_cast<std::int64_t>(time(nullptr)); }

}  // namespace nodmark::platform

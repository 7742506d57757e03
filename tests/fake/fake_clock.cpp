#include "fake/fake_clock.h"

#include <algorithm>

#include "platform/clock.h"

namespace nodmark::fake {

ClockScript& Clock() {
  static ClockScript script;
  return script;
}

ClockScript& ResetClock() { return Clock() = ClockScript(); }

namespace {

template <typename T>
T Next(const std::vector<T>& values, std::size_t& reads) {
  ++reads;
  if (values.empty()) return T{};
  return values[std::min(reads - 1, values.size() - 1)];
}

}  // namespace
}  // namespace nodmark::fake

namespace nodmark::platform {

std::uint32_t QueryTickCount() {
  return fake::Next(fake::Clock().tickCounts, fake::Clock().tickReads);
}

std::int64_t QueryCalendarTime() {
  return fake::Next(fake::Clock().calendarTimes, fake::Clock().calendarReads);
}

}  // namespace nodmark::platform

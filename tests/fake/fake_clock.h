#ifndef NODMARK_TESTS_FAKE_FAKE_CLOCK_H_
#define NODMARK_TESTS_FAKE_FAKE_CLOCK_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nodmark::fake {

// The scripted clock: each read takes the next value of its list and keeps
// answering the last one once the list is used up.
struct ClockScript {
  std::vector<std::uint32_t> tickCounts = {1};
  std::vector<std::int64_t> calendarTimes = {1};
  std::size_t tickReads = 0;
  std::size_t calendarReads = 0;
};

ClockScript& Clock();
ClockScript& ResetClock();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_CLOCK_H_

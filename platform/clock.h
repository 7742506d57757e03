#ifndef NODMARK_PLATFORM_CLOCK_H_
#define NODMARK_PLATFORM_CLOCK_H_

#include <cstdint>

namespace nodmark::platform {

// Milliseconds since the system started, wrapping at 2^32 (about 49.7 days).
// Thread-safe.
std::uint32_t QueryTickCount();

// Seconds since 1970-01-01 00:00 UTC, as the C library's time() tells them; -1 when
// the calendar time is not available. Thread-safe.
std::int64_t QueryCalendarTime();

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_CLOCK_H_

#include "platform/clock.h"

#include <windows.h>

#include <ctime>

namespace nodmark::platform {

std::uint32_t QueryTickCount() { return static_cast<std::uint32_t>(GetTickCount()); }

std::int64_t QueryCalendarTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace nodmark::platform

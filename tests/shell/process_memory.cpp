#include "shell/process_memory.h"

#include <windows.h>

#include <psapi.h>

namespace nodmark::testing {

std::int64_t PrivateMemoryBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return -1;
  }
  const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
  return bytes != 0 ? static_cast<std::int64_t>(bytes) : -1;
}

std::int64_t ProcessHandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

std::int64_t PrivateMemoryGrowth(int warmUpCycles, int measuredCycles,
                                 const std::function<bool()>& cycle) {
  for (int i = 0; i < warmUpCycles; ++i) {
    if (!cycle()) break;
  }
  const std::int64_t before = PrivateMemoryBytes();
  for (int i = 0; i < measuredCycles; ++i) {
    if (!cycle()) break;
  }
  return PrivateMemoryBytes() - before;
}

}  // namespace nodmark::testing

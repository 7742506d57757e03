#include "shell/process_memory.h"

#include <windows.h>

#include <psapi.h>

#include <cstdint>

namespace nodmark::testing {
namespace {

// Handle values are multiples of 4; the low two bits are left to the system.
constexpr std::int64_t kHandleValueStep = 4;

}  // namespace

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
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
  const HANDLE fresh = CreateEventW(/*security=*/nullptr, /*manualReset=*/TRUE,
                                    /*initialState=*/FALSE, /*name=*/nullptr);
  if (fresh == nullptr) return -1;
  CloseHandle(fresh);
  return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(fresh)) / kHandleValueStep;
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

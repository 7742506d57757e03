#include "shell/process_memory.h"

#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <string>

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

bool MemoryGrowth::settled(const MemoryWindows& plan) const {
  return !windows.empty() && windows.back() <= plan.maxGrowthBytes;
}

std::string MemoryGrowth::describe() const {
  std::string text;
  for (const std::int64_t growth : windows) {
    text += (text.empty() ? "" : ", ") + std::to_string(growth);
  }
  return text + " bytes";
}

MemoryGrowth MeasureMemoryGrowth(const MemoryWindows& plan, const std::function<bool()>& cycle) {
  MemoryGrowth growth;
  bool stopped = false;  // a cycle returned false
  for (int i = 0; i < plan.warmUpCycles && !stopped; ++i) stopped = !cycle();
  while (!stopped && static_cast<int>(growth.windows.size()) < plan.maxWindows &&
         !growth.settled(plan)) {
    const std::int64_t before = PrivateMemoryBytes();
    for (int i = 0; i < plan.cyclesPerWindow && !stopped; ++i) stopped = !cycle();
    growth.windows.push_back(PrivateMemoryBytes() - before);
  }
  return growth;
}

}  // namespace nodmark::testing

#include "shell/process_memory.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace nodmark::testing {
namespace {

// Handle values are multiples of 4; the low two bits are left to the system.
constexpr std::int64_t kHandleValueStep = 4;

}  // namespace

std::int64_t PrivateMemoryBytes() {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const auto* address = static_cast<const char*>(system.lpMinimumApplicationAddress);
  const auto* const end = static_cast<const char*>(system.lpMaximumApplicationAddress);
  std::int64_t committed = 0;
  MEMORY_BASIC_INFORMATION region{};
  while (address < end && VirtualQuery(address, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
      committed += static_cast<std::int64_t>(region.RegionSize);
    }
    address = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
  }
  return committed != 0 ? committed : -1;
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

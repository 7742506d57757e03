#include "shell/process_memory.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

namespace nodmark::testing {
namespace {

// Handle values are multiples of 4; the low two bits are left to the system.
constexpr std::int64_t kHandleValueStep = 4;

// More heaps than a test process has; more is reported as unreadable.
constexpr std::size_t kMaxHeaps = 256;

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

std::int64_t HeapBlockBytes() {
  std::array<HANDLE, kMaxHeaps> heaps{};  // on the stack: the walk allocates nothing
  const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count == 0 || count > heaps.size()) return -1;
  std::int64_t allocated = 0;
  for (DWORD i = 0; i < count; ++i) {
    // A heap made without serialisation cannot be locked; the tests walk it from their
    // only thread.
    const bool locked = HeapLock(heaps[i]) != FALSE;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) allocated += entry.cbData;
    }
    const bool walkedToTheEnd = GetLastError() == ERROR_NO_MORE_ITEMS;
    if (locked) HeapUnlock(heaps[i]);
    if (!walkedToTheEnd) return -1;
  }
  return allocated;
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
  return !unreadable && !windows.empty() && windows.back().heapBytes <= plan.maxHeapGrowthBytes &&
         windows.back().privateBytes <= plan.maxPrivateGrowthBytes;
}

std::string MemoryGrowth::describe() const {
  if (unreadable) return "unreadable (HeapWalk or VirtualQuery failed)";
  std::string text;
  for (const WindowGrowth& growth : windows) {
    text += (text.empty() ? "heap " : ", heap ") + std::to_string(growth.heapBytes) +
            " / private " + std::to_string(growth.privateBytes);
  }
  return text + " bytes";
}

MemoryGrowth MeasureMemoryGrowth(const MemoryWindows& plan, const std::function<bool()>& cycle) {
  MemoryGrowth growth;
  // Reserved now: the measurements must see no allocation of their own.
  growth.windows.reserve(static_cast<std::size_t>(plan.maxWindows));
  bool stopped = false;  // a cycle returned false
  for (int i = 0; i < plan.warmUpCycles && !stopped; ++i) stopped = !cycle();
  while (!stopped && !growth.unreadable &&
         static_cast<int>(growth.windows.size()) < plan.maxWindows && !growth.settled(plan)) {
    const std::int64_t heapBefore = HeapBlockBytes();
    const std::int64_t privateBefore = PrivateMemoryBytes();
    for (int i = 0; i < plan.cyclesPerWindow && !stopped; ++i) stopped = !cycle();
    const std::int64_t privateAfter = PrivateMemoryBytes();
    const std::int64_t heapAfter = HeapBlockBytes();
    growth.unreadable = heapBefore < 0 || heapAfter < 0 || privateBefore < 0 || privateAfter < 0;
    growth.windows.push_back({heapAfter - heapBefore, privateAfter - privateBefore});
  }
  return growth;
}

}  // namespace nodmark::testing

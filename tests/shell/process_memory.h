#ifndef NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_
#define NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// How much private memory and how many handles the test process holds, to show that
// repeated work leaks neither.
namespace nodmark::testing {

// The process's committed private memory in bytes, close to what Windows reports as
// PrivateUsage, added up from VirtualQuery over the whole address space; -1 where nothing
// is committed. Under Wine this is what Wine itself has committed for the process, where
// GetProcessMemoryInfo tells the host process's resident memory instead: under an
// emulator that includes the emulator's own translation cache, which grows and shrinks by
// megabytes with no leak in the program. Heaps commit in steps of 64 KiB.
std::int64_t PrivateMemoryBytes();

// The bytes of every allocated block of every heap of the process (GetProcessHeaps,
// HeapWalk): the C runtimes' and the automation strings' heaps among them. Exact to the
// block, where committed memory moves only when a heap takes another 64 KiB step. -1
// where a heap cannot be walked.
std::int64_t HeapBlockBytes();

// A count that grows by one with every handle the process keeps open: the count of
// open handles where GetProcessHandleCount tells it, as on Windows. Wine 8 answers 0
// there, so under Wine the count is the value of a freshly created (and closed)
// handle over 4: Wine hands out the lowest free handle value, in steps of 4. That
// stand-in skips handles that fill gaps left below it, so it may undercount by the
// gaps there were when a measurement starts, never overcount.
std::int64_t ProcessHandleCount();

struct MemoryWindows {
  int warmUpCycles = 0;
  int cyclesPerWindow = 0;
  int maxWindows = 0;
  std::int64_t maxHeapGrowthBytes = 0;     // per window: below one byte a cycle
  std::int64_t maxPrivateGrowthBytes = 0;  // per window
};

// How far the heaps' blocks and the committed private memory moved over one window.
struct WindowGrowth {
  std::int64_t heapBytes = 0;
  std::int64_t privateBytes = 0;
};

struct MemoryGrowth {
  std::vector<WindowGrowth> windows;
  bool unreadable = false;  // a measurement failed: nothing can be told
  // Whether the last window stayed within both bounds, which ends the measurement.
  bool settled(const MemoryWindows& plan) const;
  // "heap 0 / private 65536, heap 0 / private 0 bytes": every window's growth, for a failure
  // message.
  std::string describe() const;
};

// Runs `cycle` `plan.warmUpCycles` times, then in windows of `plan.cyclesPerWindow` until
// one window stays within the bounds or `plan.maxWindows` windows have run. Heaps, caches
// and lazily created state reach their steady size during the warm-up or soon after, while
// a leak grows the heaps in every window alike: only memory that keeps growing fails.
// `cycle` returns false to stop early. Nothing is allocated on the heaps between the
// measurements but by `cycle`.
MemoryGrowth MeasureMemoryGrowth(const MemoryWindows& plan, const std::function<bool()>& cycle);

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_

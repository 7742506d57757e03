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
// megabytes with no leak in the program.
std::int64_t PrivateMemoryBytes();

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
  std::int64_t maxGrowthBytes = 0;  // per window
};

// How far the private memory moved over each window of cycles that ran.
struct MemoryGrowth {
  std::vector<std::int64_t> windows;
  // Whether the last window stayed within the bound, which ends the measurement.
  bool settled(const MemoryWindows& plan) const;
  // "0, 4096, 65536 bytes": every window's growth, for a failure message.
  std::string describe() const;
};

// Runs `cycle` `plan.warmUpCycles` times, then in windows of `plan.cyclesPerWindow` until
// the private memory moved by at most `plan.maxGrowthBytes` over one window or
// `plan.maxWindows` windows have run. Heaps, caches and lazily created state take a
// number of cycles to reach their steady size that depends on the heap behind them (under
// Wine 8 about a hundred loads of the DLL; under Wine 10 resident memory took about 2,500), while a
// leak grows the memory by the same amount in every window: only memory that keeps growing fails.
// `cycle` returns false to stop early.
MemoryGrowth MeasureMemoryGrowth(const MemoryWindows& plan, const std::function<bool()>& cycle);

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_

#ifndef NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_
#define NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_

#include <cstdint>
#include <functional>

// How much private memory and how many handles the test process holds, to show that
// repeated work leaks neither.
namespace nodmark::testing {

// The process's private memory in bytes as GetProcessMemoryInfo tells it, or -1 when it
// does not. On Windows PrivateUsage and PagefileUsage both hold the commit charge. Wine 8
// leaves PrivateUsage at 0 and fills PagefileUsage with the host process's resident
// anonymous memory and swap: it counts only pages that were touched, which is what a leak
// does to them, so it serves just as well. PrivateUsage is taken where it is filled.
std::int64_t PrivateMemoryBytes();

// A count that grows by one with every handle the process keeps open: the count of
// open handles where GetProcessHandleCount tells it, as on Windows. Wine 8 answers 0
// there, so under Wine the count is the value of a freshly created (and closed)
// handle over 4: Wine hands out the lowest free handle value, in steps of 4. That
// stand-in skips handles that fill gaps left below it, so it may undercount by the
// gaps there were when a measurement starts, never overcount.
std::int64_t ProcessHandleCount();

// Runs `cycle` `warmUpCycles` times (so caches, heaps and lazily created state reach their
// steady size), then `measuredCycles` times more, and answers how far the private memory
// moved over the measured cycles alone. `cycle` returns false to stop early; the growth is
// then still measured.
std::int64_t PrivateMemoryGrowth(int warmUpCycles, int measuredCycles,
                                 const std::function<bool()>& cycle);

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_PROCESS_MEMORY_H_

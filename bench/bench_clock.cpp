#include "bench/bench_clock.h"

#include <windows.h>

#include <algorithm>

namespace nodmark::bench {
namespace {

double CounterFrequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

}  // namespace

double NowSeconds() {
  static const double frequency = CounterFrequency();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  const std::size_t middle = samples.size() / 2;
  std::nth_element(samples.begin(), samples.begin() + middle, samples.end());
  const double upper = samples[middle];
  if (samples.size() % 2 != 0) return upper;
  const double lower = *std::max_element(samples.begin(), samples.begin() + middle);
  return (lower + upper) / 2;
}

}  // namespace nodmark::bench

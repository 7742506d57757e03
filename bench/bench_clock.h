#ifndef NODMARK_BENCH_BENCH_CLOCK_H_
#define NODMARK_BENCH_BENCH_CLOCK_H_

#include <vector>

// Timing for the Windows benchmarks: the performance counter and medians of samples.
namespace nodmark::bench {

// Seconds on the performance counter (QueryPerformanceCounter); only differences
// mean anything.
double NowSeconds();

// The median of `samples` (the mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> samples);

}  // namespace nodmark::bench

#endif  // NODMARK_BENCH_BENCH_CLOCK_H_

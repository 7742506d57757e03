// What the fuzz targets share: how a broken property stops the run.
#ifndef NODMARK_FUZZ_FUZZ_CHECK_H_
#define NODMARK_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

namespace nodmark::fuzz {

// Stops the run when `holds` is false, naming the property on standard error. libFuzzer
// treats the abort as a crash and saves the input that caused it.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

}  // namespace nodmark::fuzz

#endif  // NODMARK_FUZZ_FUZZ_CHECK_H_

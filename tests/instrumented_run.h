// Whether this test program runs under instrumentation that changes what a few tests can
// check: the tests that hash half a gigabyte only to check length arithmetic are skipped
// there (the plain optimised builds run them), and under valgrind the processor is
// valgrind's own.
#ifndef NODMARK_TESTS_INSTRUMENTED_RUN_H_
#define NODMARK_TESTS_INSTRUMENTED_RUN_H_

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define NODMARK_TESTS_CAN_DETECT_VALGRIND 1
#endif

namespace nodmark::testing {

// The sanitizer build: lightly optimised, every access checked. GCC tells it by
// __SANITIZE_ADDRESS__; clang before version 17 only through __has_feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NODMARK_TESTS_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define NODMARK_TESTS_ADDRESS_SANITIZER 1
#endif
inline constexpr bool kSanitizerBuild =
#if defined(NODMARK_TESTS_ADDRESS_SANITIZER)
    true;
#else
    false;
#endif

// Under valgrind's synthetic processor, which runs the digests some fifty times slower:
// half a gigabyte would take minutes there. The cross build has no valgrind header and
// never runs under valgrind.
inline bool RunningUnderValgrind() {
#if defined(NODMARK_TESTS_CAN_DETECT_VALGRIND)
  return RUNNING_ON_VALGRIND != 0;
#else
  return false;
#endif
}

// Why such a test skips, or null when it runs.
inline const char* SlowRunSkipReason() {
  if (kSanitizerBuild) return "half a gigabyte is too slow to hash in the sanitizer build";
  if (RunningUnderValgrind()) return "half a gigabyte is too slow to hash under valgrind";
  return nullptr;
}

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_INSTRUMENTED_RUN_H_

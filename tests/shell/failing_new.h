#ifndef NODMARK_TESTS_SHELL_FAILING_NEW_H_
#define NODMARK_TESTS_SHELL_FAILING_NEW_H_

// The shell's test program replaces the global operator new and delete (failing_new.cpp)
// so a test can make one chosen allocation fail and check that nothing leaked. Only
// this test program has the replacement; the shipped DLL keeps the runtime's own.
namespace nodmark::testing {

// While alive, counts the calling thread's allocations from 0 and makes allocation
// number `failAt` fail (std::bad_alloc, or null for the nothrow form); a negative
// `failAt` fails none. Scopes do not nest.
class AllocationFault {
 public:
  explicit AllocationFault(long failAt);
  ~AllocationFault();
  AllocationFault(const AllocationFault&) = delete;
  AllocationFault& operator=(const AllocationFault&) = delete;

  // Allocations the thread asked for since the scope began, the failed one included.
  long allocations() const;
  bool failed() const;
};

// Blocks the calling thread has allocated and not yet freed, over the program's life.
long LiveAllocationsOfThisThread();

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_FAILING_NEW_H_

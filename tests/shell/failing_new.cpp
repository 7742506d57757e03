#include "shell/failing_new.h"

#include <cstdlib>
#include <new>

namespace nodmark::testing {
namespace {

constexpr long kNever = -1;

struct ThreadAllocations {
  bool armed = false;
  long failAt = kNever;
  long seen = 0;
  bool failed = false;
  long live = 0;
};

// Plain data, so reaching it never allocates.
thread_local ThreadAllocations current;

bool ShouldFail() {
  if (!current.armed) return false;
  const bool fail = current.seen++ == current.failAt;
  if (fail) current.failed = true;
  return fail;
}

void* Allocate(std::size_t size) {
  if (ShouldFail()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++current.live;
  return block;
}

void Free(void* block) {
  if (block == nullptr) return;
  --current.live;
  std::free(block);
}

}  // namespace

AllocationFault::AllocationFault(long failAt) { current = {true, failAt, 0, false, current.live}; }

AllocationFault::~AllocationFault() {
  current.armed = false;
  current.failAt = kNever;
}

long AllocationFault::allocations() const { return current.seen; }

bool AllocationFault::failed() const { return current.failed; }

long LiveAllocationsOfThisThread() { return current.live; }

}  // namespace nodmark::testing

void* operator new(std::size_t size) {
  void* block = nodmark::testing::Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return nodmark::testing::Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return nodmark::testing::Allocate(size);
}

void operator delete(void* block) noexcept { nodmark::testing::Free(block); }
void operator delete[](void* block) noexcept { nodmark::testing::Free(block); }
void operator delete(void* block, std::size_t) noexcept { nodmark::testing::Free(block); }
void operator delete[](void* block, std::size_t) noexcept { nodmark::testing::Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { nodmark::testing::Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  nodmark::testing::Free(block);
}

#ifndef NODMARK_PLATFORM_LOCK_H_
#define NODMARK_PLATFORM_LOCK_H_

#include <cstddef>

namespace nodmark::platform {

// A mutual-exclusion lock that the holding thread may take again: a critical section
// on Windows, a recursive mutex elsewhere. Neither copyable nor movable; a
// process-wide one is a static object, ready before any code of the module runs.
class RecursiveLock {
 public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Enter();
  void Leave();

  // Holds the lock from construction to destruction, on every way out of a scope.
  class Guard {
   public:
    explicit Guard(RecursiveLock& lock) : lock_(lock) { lock_.Enter(); }
    ~Guard() { lock_.Leave(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    RecursiveLock& lock_;
  };

  [[nodiscard]] Guard Acquire() { return Guard(*this); }

 private:
  // Room for the OS object without pulling OS headers into every user.
  static constexpr std::size_t kStorageSize = 64;
  alignas(alignof(std::max_align_t)) unsigned char storage_[kStorageSize];
};

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_LOCK_H_

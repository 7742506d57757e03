#ifndef NODMARK_PLATFORM_PROCESS_SINGLETON_H_
#define NODMARK_PLATFORM_PROCESS_SINGLETON_H_

#include <atomic>

#include "platform/lock.h"

namespace nodmark::platform {

// The one object of type T in the module, created on first use and destroyed with the
// module's static objects, so that a DLL that hosts load and free over and over leaves
// none behind. Itself a static object, at namespace or class scope: a function-local
// static would do the same, but its guard takes a semaphore from the 32-bit runtime
// that stays in the host after every unload.
template <typename T>
class ProcessSingleton {
 public:
  // `creationLock` guards the creation; a static object that outlives this one.
  constexpr explicit ProcessSingleton(RecursiveLock& creationLock) noexcept
      : creationLock_(creationLock) {}
  ~ProcessSingleton() { Release(); }
  ProcessSingleton(const ProcessSingleton&) = delete;
  ProcessSingleton& operator=(const ProcessSingleton&) = delete;

  // The object, made by `make()` (which returns a new T) on the first call. Safe when
  // several threads make the first call at once: one object is made and every caller
  // gets it complete. When `make` throws, nothing is kept and the exception goes on.
  template <typename Make>
  T& Get(Make make) {
    // Checked once without the lock, so the common call costs one load. The acquire
    // load pairs with the release store below: a thread that finds the object here
    // also sees it fully constructed.
    if (T* object = object_.load(std::memory_order_acquire)) return *object;
    const auto guard = creationLock_.Acquire();
    T* object = object_.load(std::memory_order_relaxed);
    if (object == nullptr) {
      object = make();
      object_.store(object, std::memory_order_release);
    }
    return *object;
  }

  // Destroys the object, if there is one; the next Get makes a new one. No other
  // thread may be using the object then.
  void Release() noexcept { delete object_.exchange(nullptr); }

  bool Exists() const noexcept { return object_.load(std::memory_order_acquire) != nullptr; }

 private:
  RecursiveLock& creationLock_;
  std::atomic<T*> object_{nullptr};
};

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_PROCESS_SINGLETON_H_

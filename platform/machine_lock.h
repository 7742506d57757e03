#ifndef NODMARK_PLATFORM_MACHINE_LOCK_H_
#define NODMARK_PLATFORM_MACHINE_LOCK_H_

#include <cstdint>
#include <string>

#include "platform/scoped_owner.h"

// The lock that every process of the machine shares over the store file: every user,
// every session and both architectures meet on it, so that only one of them at a time
// can find the store's value missing and write one.
namespace nodmark::platform {

// How an attempt to take the lock ended.
enum class MachineLockState {
  kTaken,        // held
  kTakenOver,    // held; the process that held it ended without releasing it
  kTimedOut,     // another holder kept it past the wait's bound; not held
  kUnavailable,  // could not be created or opened, or not waited on; not held
};

// An acquired lock, released (and its handle closed) by Free. The handle is the OS's
// (a mutex handle, a file descriptor) in an integer; -1 means none.
struct MachineLockTraits {
  using Handle = std::intptr_t;
  static Handle Invalid() noexcept { return -1; }
  static bool IsValid(const Handle& handle) noexcept { return handle != Invalid(); }
  static void Free(const Handle& handle) noexcept;
};

struct MachineLock {
  MachineLockState state = MachineLockState::kUnavailable;
  ScopedOwner<MachineLockTraits> owner;  // holds the lock until reset or destroyed

  bool held() const noexcept { return static_cast<bool>(owner); }
};

// Takes the lock over the store file in `storeDirectory`, waiting at most
// `timeoutMilliseconds` for another holder. Never throws; the result is held only in
// the states kTaken and kTakenOver. On Windows a named mutex in the Global namespace
// that every user may wait on and release; the store directory is one per machine
// (which the 32-bit and the 64-bit build name differently), so the mutex's one name
// stands for it and `storeDirectory` is not used. Elsewhere an advisory lock on
// `storeDirectory` itself, which is created first when it is missing. Every call
// opens the lock afresh, so two threads of one process exclude each other too.
MachineLock TakeMachineLock(const std::string& storeDirectory, std::uint32_t timeoutMilliseconds);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_MACHINE_LOCK_H_

#ifndef NODMARK_TESTS_FAKE_FAKE_MACHINE_LOCK_H_
#define NODMARK_TESTS_FAKE_FAKE_MACHINE_LOCK_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/machine_lock.h"

namespace nodmark::fake {

// The scripted machine-wide lock: every attempt ends in `state`, and is held in the
// states that hold it. `whileWaiting`, when set, runs inside each attempt before it
// ends, as another process that finishes its draw while the caller waits.
struct MachineLockScript {
  platform::MachineLockState state = platform::MachineLockState::kTaken;
  std::function<void()> whileWaiting;

  int attempts = 0;
  int releases = 0;
  std::string lastDirectory;
  std::uint32_t lastTimeoutMilliseconds = 0;
};

MachineLockScript& MachineLocks();
MachineLockScript& ResetMachineLocks();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_MACHINE_LOCK_H_

#include "fake/fake_machine_lock.h"

namespace nodmark::fake {

MachineLockScript& MachineLocks() {
  static MachineLockScript script;
  return script;
}

MachineLockScript& ResetMachineLocks() { return MachineLocks() = MachineLockScript(); }

}  // namespace nodmark::fake

namespace nodmark::platform {

void MachineLockTraits::Free(const Handle& /*handle*/) noexcept { ++fake::MachineLocks().releases; }

MachineLock TakeMachineLock(const std::string& storeDirectory, std::uint32_t timeoutMilliseconds) {
  fake::MachineLockScript& script = fake::MachineLocks();
  ++script.attempts;
  script.lastDirectory = storeDirectory;
  script.lastTimeoutMilliseconds = timeoutMilliseconds;
  if (script.whileWaiting) script.whileWaiting();
  MachineLock lock;
  lock.state = script.state;
  if (lock.state == MachineLockState::kTaken || lock.state == MachineLockState::kTakenOver) {
    lock.owner.reset(script.attempts);
  }
  return lock;
}

}  // namespace nodmark::platform

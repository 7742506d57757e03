#include "platform/machine_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/posix/scoped_fd.h"
#include "platform/posix/store_directory.h"

// The lock is flock() on the store directory. The directory is there before the
// store file is (the first write creates it when missing, and so does this lock, as
// the write is about to), it is never replaced, and the profile write swaps files
// inside it with rename(), which would leave a lock on the store file itself behind
// on the old file. flock() rather than fcntl() locks: a directory opens only for
// reading, on which fcntl() cannot set a write lock, and flock() locks belong to the
// open file, so two threads of one process exclude each other as two processes do.
// A holder that dies releases the lock with its descriptors.
namespace nodmark::platform {
namespace {

using Clock = std::chrono::steady_clock;

// flock() cannot wait for a bounded time, so the wait polls: often enough that a
// waiter starts within this of the holder's release, which is far shorter than a
// write of the store file takes.
constexpr auto kPollInterval = std::chrono::milliseconds(2);

}  // namespace

void MachineLockTraits::Free(const Handle& handle) noexcept {
  const int fd = static_cast<int>(handle);
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

MachineLock TakeMachineLock(const std::string& storeDirectory, std::uint32_t timeoutMilliseconds) {
  if (::mkdir(storeDirectory.c_str(), posix::kStoreDirectoryMode) != 0 && errno != EEXIST) {
    return {};
  }
  ScopedFd directory(::open(storeDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory) return {};

  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  MachineLock lock;
  for (;;) {
    if (::flock(directory.get(), LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return lock;  // a file system without flock
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      lock.state = MachineLockState::kTimedOut;
      return lock;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(kPollInterval, deadline - now));
  }
  lock.state = MachineLockState::kTaken;
  lock.owner.reset(directory.release());
  return lock;
}

}  // namespace nodmark::platform

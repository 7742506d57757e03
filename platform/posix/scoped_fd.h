#ifndef NODMARK_PLATFORM_POSIX_SCOPED_FD_H_
#define NODMARK_PLATFORM_POSIX_SCOPED_FD_H_

#include <unistd.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform {

// An open file descriptor, closed when its owner goes away.
struct FileDescriptorTraits {
  using Handle = int;
  static Handle Invalid() noexcept { return -1; }
  static bool IsValid(Handle fd) noexcept { return fd >= 0; }
  static void Free(Handle fd) noexcept { ::close(fd); }
};
using ScopedFd = ScopedOwner<FileDescriptorTraits>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_POSIX_SCOPED_FD_H_

#ifndef NODMARK_PLATFORM_POSIX_STORE_DIRECTORY_H_
#define NODMARK_PLATFORM_POSIX_STORE_DIRECTORY_H_

#include <sys/types.h>

namespace nodmark::platform::posix {

// The mode of the store directory when the component creates it: machine-wide, so
// every user may read it and list it.
inline constexpr mode_t kStoreDirectoryMode = 0755;

}  // namespace nodmark::platform::posix

#endif  // NODMARK_PLATFORM_POSIX_STORE_DIRECTORY_H_

#ifndef NODMARK_PLATFORM_POSIX_DIRECTORY_H_
#define NODMARK_PLATFORM_POSIX_DIRECTORY_H_

#include <dirent.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform::posix {

inline void CloseDirectory(DIR* directory) noexcept { closedir(directory); }

// An open directory stream, closed when its owner goes.
using UniqueDirectory = UniqueOwner<DIR*, CloseDirectory>;

}  // namespace nodmark::platform::posix

#endif  // NODMARK_PLATFORM_POSIX_DIRECTORY_H_

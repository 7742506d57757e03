#ifndef NODMARK_PLATFORM_SYSTEM_DIRECTORY_H_
#define NODMARK_PLATFORM_SYSTEM_DIRECTORY_H_

#include <optional>
#include <string>
#include <string_view>

namespace nodmark::platform {

// The machine-wide directory that holds the component's store file, without a
// trailing separator; nullopt when the platform cannot tell it. On Windows this is the
// system directory as the 32-bit component sees it: the 64-bit build names the 32-bit
// system directory (SysWOW64) where the machine has one. Elsewhere it is
// /var/lib/nodmark, or the directory named by the environment variable
// NODMARK_SYSTEM_DIR when that is set and not empty. The directory is not checked or
// created here. Thread-safe.
std::optional<std::string> QuerySystemDirectory();

// The same directory, named as it lies on the machine rather than as this process
// opens it: for people to find, not for opening. A 32-bit process on 64-bit Windows
// opens the 32-bit system directory through the name "system32", which the OS
// redirects to SysWOW64; this names it SysWOW64, as the 64-bit build does, so both
// builds name one folder. Elsewhere it equals QuerySystemDirectory. Thread-safe.
std::optional<std::string> QuerySystemDirectoryLocation();

// `directory` followed by the platform's path separator and `fileName`.
std::string AppendPathComponent(const std::string& directory, std::string_view fileName);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_SYSTEM_DIRECTORY_H_

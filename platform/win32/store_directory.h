#ifndef NODMARK_PLATFORM_WIN32_STORE_DIRECTORY_H_
#define NODMARK_PLATFORM_WIN32_STORE_DIRECTORY_H_

#include <windows.h>

#include <optional>
#include <string>

namespace nodmark::platform::win32 {

// A call of the GetSystemDirectoryA kind: fills `buffer` and answers the length of the
// path, or 0 on failure, or the size it would need when `capacity` is too small.
using DirectoryQuery = UINT(WINAPI*)(LPSTR buffer, UINT capacity);

// The directory of the component's store file: what `wow64Query` names (null: not
// asked), else what `systemQuery` names; nullopt when neither names a path of fewer
// than MAX_PATH bytes.
std::optional<std::string> StoreDirectory(DirectoryQuery wow64Query, DirectoryQuery systemQuery);

}  // namespace nodmark::platform::win32

#endif  // NODMARK_PLATFORM_WIN32_STORE_DIRECTORY_H_

// Apart from system_directory.cpp, so that the DLL, which never names the store file
// to anyone, does not link this query.
#include <windows.h>

#include "platform/system_directory.h"
#include "platform/win32/store_directory.h"

namespace nodmark::platform {

std::optional<std::string> QuerySystemDirectoryLocation() {
  // GetSystemWow64DirectoryA names SysWOW64 to a process of either architecture on
  // 64-bit Windows and fails on 32-bit Windows, whose system directory is the place.
  return win32::StoreDirectory(GetSystemWow64DirectoryA, GetSystemDirectoryA);
}

}  // namespace nodmark::platform

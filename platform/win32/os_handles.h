#ifndef NODMARK_PLATFORM_WIN32_OS_HANDLES_H_
#define NODMARK_PLATFORM_WIN32_OS_HANDLES_H_

#include <windows.h>

#include <objbase.h>

#include "platform/win32/unique_resource.h"

namespace nodmark::platform {

// An open registry key, closed with RegCloseKey.
using UniqueHkey = UniqueResource<HKEY, &RegCloseKey>;

// A loaded module, given back with FreeLibrary.
using UniqueModule = UniqueResource<HMODULE, &FreeLibrary>;

// Text the COM runtime allocated for the caller (StringFromIID and the like), freed
// with CoTaskMemFree.
using CoTaskMemText = UniqueResource<LPOLESTR, &CoTaskMemFree>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_OS_HANDLES_H_

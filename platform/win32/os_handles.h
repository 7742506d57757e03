#ifndef NODMARK_PLATFORM_WIN32_OS_HANDLES_H_
#define NODMARK_PLATFORM_WIN32_OS_HANDLES_H_

#include <windows.h>

#include <objbase.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform {

// An open registry key, closed with RegCloseKey.
using UniqueRegistryKey = UniqueOwner<HKEY, &RegCloseKey>;

// A loaded module, given back with FreeLibrary.
using UniqueModule = UniqueOwner<HMODULE, &FreeLibrary>;

// A kernel object handle whose "none" is null (sections, events, threads, ...),
// closed with CloseHandle. Not for file handles, whose "none" is INVALID_HANDLE_VALUE.
using UniqueKernelHandle = UniqueOwner<HANDLE, &CloseHandle>;

// Text the COM runtime allocated for the caller (StringFromIID and the like), freed
// with CoTaskMemFree.
using CoTaskMemText = UniqueOwner<LPOLESTR, &CoTaskMemFree>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_OS_HANDLES_H_

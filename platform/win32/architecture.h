#ifndef NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_
#define NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_

#include <windows.h>

#include <cstddef>

// What sets the 32-bit and the 64-bit build of the component apart where the OS
// hands them different things.
namespace nodmark::platform::win32 {

inline constexpr bool kIs64Bit = sizeof(void*) == 8;

// The platform name under which a type library is registered for this module
// ("TypeLib\{LIBID}\1.0\0\win64"): hosts of each architecture read their own.
inline constexpr const char* kTypeLibPlatform = kIs64Bit ? "win64" : "win32";

// The registry view of the other architecture, for RegOpenKeyEx: 64-bit Windows keeps
// class and interface keys apart for 32-bit and 64-bit processes. On 32-bit Windows
// the flag is ignored and the one view is opened.
inline constexpr REGSAM kOtherRegistryView = kIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// Kernel handles that every load and free of the DLL leaves in the host, none of them
// the module's own. The 32-bit runtime's unwinder registers the module's unwind
// tables at load under a lock whose semaphore it creates then and never closes; the
// 64-bit runtime unwinds through the tables the system keeps and registers nothing.
inline constexpr int kRuntimeHandlesKeptPerLoad = kIs64Bit ? 0 : 1;

// Bytes of one IP_ADAPTER_INFO record: its pointers and times are wider in 64-bit code.
inline constexpr std::size_t kAdapterRecordSize = kIs64Bit ? 704 : 640;

}  // namespace nodmark::platform::win32

#endif  // NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_

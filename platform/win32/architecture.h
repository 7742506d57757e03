#ifndef NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_
#define NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_

// What sets the 32-bit and the 64-bit build of the component apart where the OS
// hands them different things.
namespace nodmark::platform::win32 {

inline constexpr bool kIs64Bit = sizeof(void*) == 8;

// The platform name under which a type library is registered for this module
// ("TypeLib\{LIBID}\1.0\0\win64"): hosts of each architecture read their own.
inline constexpr const char* kTypeLibPlatform = kIs64Bit ? "win64" : "win32";

}  // namespace nodmark::platform::win32

#endif  // NODMARK_PLATFORM_WIN32_ARCHITECTURE_H_

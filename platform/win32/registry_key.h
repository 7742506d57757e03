#ifndef NODMARK_PLATFORM_WIN32_REGISTRY_KEY_H_
#define NODMARK_PLATFORM_WIN32_REGISTRY_KEY_H_

#include <windows.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform::win32 {

inline void CloseRegistryKey(HKEY key) noexcept { RegCloseKey(key); }

// An open registry key, closed when its owner goes.
using UniqueRegistryKey = UniqueOwner<HKEY, CloseRegistryKey>;

}  // namespace nodmark::platform::win32

#endif  // NODMARK_PLATFORM_WIN32_REGISTRY_KEY_H_

#ifndef NODMARK_PLATFORM_WIN32_SCOPED_HANDLES_H_
#define NODMARK_PLATFORM_WIN32_SCOPED_HANDLES_H_

#include <windows.h>

#include "platform/scoped_owner.h"

namespace nodmark::platform {

// A module reference from LoadLibrary, released with FreeLibrary.
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle module) noexcept { return module != nullptr; }
  static void Free(Handle module) noexcept { FreeLibrary(module); }
};
using ScopedModule = ScopedOwner<ModuleTraits>;

// A kernel object handle whose "none" is null (sections, events, threads, ...),
// closed with CloseHandle. Not for file handles, whose "none" is INVALID_HANDLE_VALUE.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
  static void Free(Handle handle) noexcept { CloseHandle(handle); }
};
using ScopedKernelHandle = ScopedOwner<KernelHandleTraits>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_SCOPED_HANDLES_H_

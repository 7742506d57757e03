#ifndef NODMARK_SHELL_MODULE_STATE_H_
#define NODMARK_SHELL_MODULE_STATE_H_

#include <windows.h>

#include <cstddef>

#include "platform/lock.h"

// The process-wide side of the DLL: its instance handle, the lock count that tells the
// COM runtime whether the DLL may be unloaded, the module's locks and the callbacks
// run when the DLL is detached.
namespace nodmark::shell {

using ShutdownFunction = void (*)(void* argument);

// Process attach: records the module's instance handle, sets the lock count to 0 and
// empties the shutdown list. Called by the DLL entry point under the loader's
// serialisation; the shell's test program calls it directly.
void AttachModule(HINSTANCE instance) noexcept;

// Detach from a live process (FreeLibrary): releases the class table's cached class
// factories, then runs the shutdown callbacks, most recently added first, each once,
// and frees them, and last empties the type-information cache if its clean-up could
// not be listed. Called by the DLL entry point; no other call into the module may
// run at the same time.
void DetachModule() noexcept;

// The DLL's own instance handle as given at attach (null before).
HINSTANCE ModuleInstance() noexcept;

// Atomic increment and decrement of the lock count; any thread. An unmatched
// UnlockModule takes the count below 0 and it stays there until matched.
void LockModule() noexcept;
void UnlockModule() noexcept;

// The lock count as it is now; any thread, without locking.
long ModuleLockCount() noexcept;

// Adds `function(argument)` to the front of the shutdown list. S_OK, or
// E_OUTOFMEMORY with nothing added. Takes the type-information lock: never call it
// while holding that lock.
HRESULT AddShutdownCallback(ShutdownFunction function, void* argument) noexcept;

// How many callbacks wait in the shutdown list. Takes the type-information lock.
std::size_t ShutdownCallbackCount() noexcept;

// Guards loading of the type information and the shutdown list.
platform::RecursiveLock& TypeInfoLock() noexcept;

// Guards the lazy creation of class factories.
platform::RecursiveLock& ClassTableLock() noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_MODULE_STATE_H_

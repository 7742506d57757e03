// The DLL entry point. The runtime's static initialisers have run when it sees
// process attach, and its static destructors run after it has seen process detach.
#include <windows.h>

#include "shell/module_state.h"

namespace {

// The runtime linked statically into this DLL (GCC's unwinder over the POSIX-thread
// layer, which registers the module's unwind tables while the DLL starts) takes a
// thread-local storage slot, a thread record and two handles each time the DLL is loaded,
// and gives none of them back when it is unloaded. A host that loads and frees the DLL
// over and over (CoFreeUnusedLibraries after every use) would lose them on every round,
// run out of TLS slots after about a thousand loads, and then be aborted by that runtime.
// So the module pins itself on its first load: FreeLibrary leaves it mapped, a later load
// finds it as it was (unlocked, its factory cached), and the runtime's allocations happen
// once per process. DllCanUnloadNow still answers as it always does.
void PinModule(HINSTANCE instance) {
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<LPCWSTR>(instance), &pinned);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      nodmark::shell::AttachModule(instance);
      // The module keeps no per-thread state: spare every thread start and exit a
      // call into it.
      DisableThreadLibraryCalls(instance);
      PinModule(instance);
      break;
    case DLL_PROCESS_DETACH:
      // A non-null `reserved` means the process is ending: its other threads were
      // stopped wherever they were, perhaps inside one of the module's locks, and
      // the system DLLs the clean-up would call into may be shut down already. The
      // system reclaims everything then, so the module tears down only when it is
      // freed from a live process; pinned, it is not, unless pinning failed.
      if (reserved == nullptr) nodmark::shell::DetachModule();
      break;
    default:
      break;
  }
  return TRUE;
}

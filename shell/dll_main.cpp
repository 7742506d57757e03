// The DLL entry point. The runtime's static initialisers have run when it sees
// process attach, and its static destructors run after it has seen process detach.
#include <windows.h>

#include "shell/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      nodmark::shell::AttachModule(instance);
      // The module keeps no per-thread state: spare every thread start and exit a
      // call into it.
      DisableThreadLibraryCalls(instance);
      break;
    case DLL_PROCESS_DETACH:
      // A non-null `reserved` means the process is ending: its other threads were
      // stopped wherever they were, perhaps inside one of the module's locks, and
      // the system DLLs the clean-up would call into may be shut down already. The
      // system reclaims everything then, so the module tears down only when it is
      // freed from a live process (FreeLibrary, CoFreeUnusedLibraries).
      if (reserved == nullptr) nodmark::shell::DetachModule();
      break;
    default:
      break;
  }
  return TRUE;
}

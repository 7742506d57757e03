// The DLL entry point. The runtime's static initialisers have run when it sees
// process attach, and its static destructors run after it has seen process detach.
#include <windows.h>

#include "shell/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      nodmark::shell::AttachModule(instance);
      // The module keeps no per-thread state: spare every thread start and exit a
      // call into it.
      DisableThreadLibraryCalls(instance);
      break;
    case DLL_PROCESS_DETACH:
      nodmark::shell::DetachModule();
      break;
    default:
      break;
  }
  return TRUE;
}

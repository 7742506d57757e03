// The DLL entry point. The runtime's static initialisers have run when it sees
// process attach, and its static destructors run after it has seen process detach.
//
// The DLL is built against the runtime flavour that takes no thread-local storage slot
// when it loads (see cmake/toolchain-mingw.cmake), so a host may load and free it as
// often as it likes: after DllCanUnloadNow has answered S_OK, FreeLibrary unmaps the
// module, detach tears it down, and the next load starts afresh. The 32-bit runtime
// still keeps one handle per load that the module cannot close (docs/robustness.md).
#include <windows.h>

#include "shell/module_state.h"

// The statically linked C++ runtime allocates a pool for exceptions thrown while memory
// runs out when the DLL loads, and frees it only through this call (which has no
// declaration in its headers). Without it, every load and free of the DLL would leave a
// block of 64 KiB or more behind in the host's heap.
namespace __gnu_cxx {
void __freeres() noexcept;
}  // namespace __gnu_cxx

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
      // the system DLLs the clean-up would call into may be shut down already. So
      // the clean-up that releases COM objects and the runtime's pool runs only
      // when the module is freed from a live process. The static destructors run
      // after this in both cases, at process exit too: they free the module's own
      // heap objects (the filter list store, the settings, the shutdown list) and
      // delete its critical sections, but take no lock and release no COM object.
      // Nothing of the module throws after this point.
      if (reserved == nullptr) {
        nodmark::shell::DetachModule();
        __gnu_cxx::__freeres();
      }
      break;
    default:
      break;
  }
  return TRUE;
}

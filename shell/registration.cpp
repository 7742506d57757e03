// Self-registration exports: regsvr32 and installers enter the component into
// HKEY_CLASSES_ROOT with DllRegisterServer and remove it with DllUnregisterServer.
#include <windows.h>

#include <olectl.h>

#include "shell/classes_root_system.h"
#include "shell/module_state.h"
#include "shell/server_registration.h"

// S_OK when every key was written; S_FALSE (1, a success code to callers that test
// only for failure) when a key could not be created and the rows before it stay
// written; SELFREG_E_CLASS, which regsvr32 reports as a failure, when a value could
// not be written (every other row is still attempted); a failure code, with nothing
// written, when the GUID texts or the module path cannot be had.
STDAPI DllRegisterServer() {
  nodmark::shell::ClassesRootSystem system(nodmark::shell::ModuleInstance());
  return nodmark::shell::RegisterServerKeys(system);
}

// S_OK, whether or not anything was registered.
STDAPI DllUnregisterServer() {
  nodmark::shell::ClassesRootSystem system(nodmark::shell::ModuleInstance());
  return nodmark::shell::UnregisterServerKeys(system);
}

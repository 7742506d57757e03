// Self-registration exports. The component does not register itself yet: both answer
// E_NOTIMPL, so an installer sees a failure rather than a registration that did
// nothing.
#include <windows.h>

#include <olectl.h>

STDAPI DllRegisterServer() { return E_NOTIMPL; }

STDAPI DllUnregisterServer() { return E_NOTIMPL; }

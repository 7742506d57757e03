#ifndef NODMARK_SHELL_TYPE_LIBRARY_LOADER_H_
#define NODMARK_SHELL_TYPE_LIBRARY_LOADER_H_

#include <windows.h>

#include <oaidl.h>

namespace nodmark::shell {

// Loads the registered type library `libid` of version major.minor for `lcid`, as
// the keys written by DllRegisterServer describe it. S_OK with one reference in
// *library; otherwise *library is null and the result is the loader's (such as
// TYPE_E_LIBNOTREGISTERED). The DLL links the real loader (type_library_loader.cpp,
// LoadRegTypeLib); the shell's test program links a scripted one. Thread-safe.
HRESULT LoadRegisteredTypeLibrary(REFGUID libid, WORD major, WORD minor, LCID lcid,
                                  ITypeLib** library) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_TYPE_LIBRARY_LOADER_H_

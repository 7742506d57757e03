#ifndef NODMARK_SHELL_CLASS_TABLE_H_
#define NODMARK_SHELL_CLASS_TABLE_H_

#include <windows.h>

#include <unknwn.h>

// The module's creatable classes and their cached class factories, reached by the COM
// runtime through DllGetClassObject. DllGetClassObject and DllCanUnloadNow themselves
// are declared by the system headers and exported by nodmark.def.
namespace nodmark::shell {

// Creates an instance of a class: a plain one when `outer` is null, otherwise the
// aggregate for `outer`. Result and *ppv as QueryInterface.
using InstanceMaker = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv) noexcept;

// Creates a class factory that makes its instances with `makeInstance`.
using FactoryMaker = HRESULT (*)(InstanceMaker makeInstance, REFIID riid, void** ppv) noexcept;

// Releases every cached factory the table holds and forgets it; the next
// DllGetClassObject makes a new one. For module detach only.
void ReleaseCachedFactories() noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_CLASS_TABLE_H_

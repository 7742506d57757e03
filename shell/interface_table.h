#ifndef NODMARK_SHELL_INTERFACE_TABLE_H_
#define NODMARK_SHELL_INTERFACE_TABLE_H_

#include <windows.h>

#include <unknwn.h>

#include <cstddef>

namespace nodmark::shell {

// One row of an object's interface table: the IID it answers and the entry handed out.
struct InterfaceTableRow {
  const IID* iid;
  IUnknown* entry;
};

// QueryInterface over a table of `count` rows (count >= 1). IID_IUnknown is answered
// by the first row; otherwise the first row whose IID matches. On S_OK the entry has
// been AddRef'ed through itself and is in *ppv. E_POINTER when ppv is null;
// E_NOINTERFACE with *ppv null when no row matches.
HRESULT LookUpInterface(const InterfaceTableRow* rows, std::size_t count, REFIID riid,
                        void** ppv) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_INTERFACE_TABLE_H_

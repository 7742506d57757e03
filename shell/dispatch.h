#ifndef NODMARK_SHELL_DISPATCH_H_
#define NODMARK_SHELL_DISPATCH_H_

#include <windows.h>

#include <oaidl.h>

// The IDispatch methods of IGerneralNodmark2, shared by every instance: the instance's
// dual-interface entry forwards slots 3 to 6 here. They answer from the interface's
// type information, loaded from the registered type library on first need and kept
// for the process (type_info_cache.h). While the type library cannot be loaded, the
// three that need it fail with the loader's error and the next call tries again; the
// property getters do not depend on it. All are thread-safe.
namespace nodmark::shell {

// S_OK with *pctinfo = 1; E_POINTER for a null pctinfo.
HRESULT DispatchGetTypeInfoCount(UINT* pctinfo) noexcept;

// S_OK with a new reference to the interface's type information in *ppTInfo, for any
// iTInfo. E_POINTER for a null ppTInfo; otherwise *ppTInfo is null on failure.
HRESULT DispatchGetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) noexcept;

// Maps a member name, and the names of its named arguments after it, to DISPIDs. A
// lone member name spelt exactly as declared is answered from the name cache; any
// other request goes to the type information, which ignores letter case and knows
// the parameters. DISP_E_UNKNOWNNAME when a name is unknown (or null), with
// DISPID_UNKNOWN for it. E_POINTER when names are asked for (cNames > 0) with a null
// array.
HRESULT DispatchGetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                              DISPID* rgDispId) noexcept;

// Calls member dispIdMember of `self` (the dual-interface entry the call came
// through) by the type information, which calls the entry's function-table slot
// and converts arguments and result. Its result is passed through. E_INVALIDARG for
// a null pDispParams.
HRESULT DispatchInvoke(IDispatch* self, DISPID dispIdMember, LCID lcid, WORD wFlags,
                       DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                       UINT* puArgErr) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_DISPATCH_H_

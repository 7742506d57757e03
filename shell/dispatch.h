#ifndef NODMARK_SHELL_DISPATCH_H_
#define NODMARK_SHELL_DISPATCH_H_

#include <windows.h>

#include <oaidl.h>

// The IDispatch methods of IGerneralNodmark, shared by every instance. The instance's
// dual-interface entry forwards slots 3 to 6 here. Until late binding through the type
// library is built they answer E_NOTIMPL; null out-pointers get E_POINTER already, as
// they will then. All are thread-safe.
namespace nodmark::shell {

// E_POINTER for a null pctinfo; otherwise *pctinfo = 0 and E_NOTIMPL.
HRESULT DispatchGetTypeInfoCount(UINT* pctinfo);

// E_POINTER for a null ppTInfo; otherwise *ppTInfo = null and E_NOTIMPL.
HRESULT DispatchGetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo);

// E_POINTER when names are asked for (cNames > 0) with a null array; otherwise every
// rgDispId[i] = DISPID_UNKNOWN and E_NOTIMPL.
HRESULT DispatchGetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId);

// Calls member dispIdMember of `self` (the dual-interface entry the call came
// through). E_NOTIMPL for now, with nothing written.
HRESULT DispatchInvoke(IDispatch* self, DISPID dispIdMember, LCID lcid, WORD wFlags,
                       DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                       UINT* puArgErr);

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_DISPATCH_H_

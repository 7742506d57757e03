#include "shell/dispatch.h"

namespace nodmark::shell {

HRESULT DispatchGetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = 0;
  return E_NOTIMPL;
}

HRESULT DispatchGetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_POINTER;
  *ppTInfo = nullptr;
  return E_NOTIMPL;
}

HRESULT DispatchGetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, LCID /*lcid*/, DISPID* rgDispId) {
  if (cNames > 0 && (rgszNames == nullptr || rgDispId == nullptr)) return E_POINTER;
  for (UINT name = 0; name < cNames; ++name) rgDispId[name] = DISPID_UNKNOWN;
  return E_NOTIMPL;
}

HRESULT DispatchInvoke(IDispatch* /*self*/, DISPID /*dispIdMember*/, LCID /*lcid*/, WORD /*wFlags*/,
                       DISPPARAMS* /*pDispParams*/, VARIANT* /*pVarResult*/,
                       EXCEPINFO* /*pExcepInfo*/, UINT* /*puArgErr*/) {
  return E_NOTIMPL;
}

}  // namespace nodmark::shell

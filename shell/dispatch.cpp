#include "shell/dispatch.h"

#include "shell/type_info_cache.h"

namespace nodmark::shell {
namespace {

// The type information, loaded if need be: null, with the reason in *hr, when it
// cannot be had.
ITypeInfo* TypeInfo(LCID lcid, HRESULT* hr) noexcept {
  TypeInfoCache& cache = ProcessTypeInfoCache();
  *hr = EnsureTypeInfo(cache, lcid);
  return SUCCEEDED(*hr) ? LoadedTypeInfo(cache) : nullptr;
}

}  // namespace

HRESULT DispatchGetTypeInfoCount(UINT* pctinfo) noexcept {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = 1;
  return S_OK;
}

HRESULT DispatchGetTypeInfo(UINT /*iTInfo*/, LCID lcid, ITypeInfo** ppTInfo) noexcept {
  if (ppTInfo == nullptr) return E_POINTER;
  *ppTInfo = nullptr;
  HRESULT hr = S_OK;
  ITypeInfo* const info = TypeInfo(lcid, &hr);
  if (info == nullptr) return hr;
  info->AddRef();
  *ppTInfo = info;
  return S_OK;
}

HRESULT DispatchGetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                              DISPID* rgDispId) noexcept {
  if (cNames > 0 && (rgszNames == nullptr || rgDispId == nullptr)) return E_POINTER;
  HRESULT hr = S_OK;
  ITypeInfo* const info = TypeInfo(lcid, &hr);
  if (info == nullptr) return hr;
  if (cNames == 0) return S_OK;

  // A null name is a name nobody knows; the type information is not asked to read it.
  for (UINT name = 0; name < cNames; ++name) {
    if (rgszNames[name] != nullptr) continue;
    for (UINT each = 0; each < cNames; ++each) rgDispId[each] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  // Names after the first are the member's named arguments, not members: the member
  // cache can answer only a request that names a member alone.
  if (cNames == 1 && ProcessTypeInfoCache().names.Find(rgszNames[0], &rgDispId[0])) {
    return S_OK;
  }
  return info->GetIDsOfNames(rgszNames, cNames, rgDispId);
}

HRESULT DispatchInvoke(IDispatch* self, DISPID dispIdMember, LCID lcid, WORD wFlags,
                       DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                       UINT* puArgErr) noexcept {
  if (pDispParams == nullptr) return E_INVALIDARG;
  HRESULT hr = S_OK;
  ITypeInfo* const info = TypeInfo(lcid, &hr);
  if (info == nullptr) return hr;
  return info->Invoke(self, dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}

}  // namespace nodmark::shell

#include "shell/gerneral_nodmark.h"

#include <atomic>
#include <iterator>

#include "identifiers/application_identifier.h"
#include "platform/win32/com_ptr.h"
#include "shell/automation_string.h"
#include "shell/com_error.h"
#include "shell/dispatch.h"
#include "shell/guids.h"
#include "shell/interface_table.h"
#include "shell/module_state.h"

namespace nodmark::shell {
namespace {

HRESULT ReadProperty(const std::string& text, BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  return AnsiToAutomationString(text, pVal);
}

HRESULT ReadApplicationIdentifier(const std::string& identifier, BSTR application,
                                  BSTR* pVal) noexcept {
  if (pVal == nullptr) return E_POINTER;
  *pVal = nullptr;
  if (SysStringLen(application) == 0) return E_INVALIDARG;  // null reads as empty
  try {
    std::string name;
    const HRESULT hr = AutomationStringToUtf8(application, &name);
    if (FAILED(hr)) return hr;
    return AnsiToAutomationString(identifiers::ApplicationIdentifier(identifier, name), pVal);
  } catch (...) {
    return ResultFromCaughtException();
  }
}

// Makes one `Object` (a plain instance or an aggregate), which locks the module for
// its lifetime, and asks it for `riid`. A refused IID destroys it again, giving the
// lock back.
template <typename Object>
HRESULT CreateAndQuery(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  try {
    Object* const object = new Object(outer);  // computes the identifiers
    LockModule();
    object->AddRef();
    const platform::ComPtr<Object> creationReference(object);
    return object->QueryInterface(riid, ppv);
  } catch (...) {
    // Nothing was locked yet, and the new-expression has freed the memory.
    return ResultFromCaughtException();
  }
}

// Drops one of `object`'s references; the last one gives the module lock back and
// destroys it. Returns the new count.
template <typename Object>
ULONG ReleaseReference(Object* object, std::atomic<ULONG>& refCount) noexcept {
  const ULONG count = --refCount;
  if (count == 0) {
    refCount = 1;  // a reference taken during teardown cannot start a second one
    UnlockModule();
    delete object;
  }
  return count;
}

}  // namespace

GerneralNodmark::GerneralNodmark(IUnknown* outer)
    : outer_(outer),
      oldText_(identifiers_.GetOldIdentifier()),
      newText_(identifiers_.GetNewIdentifier()),
      complicateText_(identifiers_.GetComplicateIdentifier()) {}

HRESULT GerneralNodmark::LookUpOwnInterface(REFIID riid, void** ppv) noexcept {
  IGerneralNodmark2* const dual = this;
  const InterfaceTableRow rows[] = {
      {&kIidGerneralNodmark, dual},
      {&kIidGerneralNodmark2, dual},
      {&IID_IDispatch, dual},
      {&IID_IObjectSafety, static_cast<IObjectSafety*>(this)},
  };
  return LookUpInterface(rows, std::size(rows), riid, ppv);
}

STDMETHODIMP GerneralNodmark::QueryInterface(REFIID riid, void** ppv) noexcept {
  if (outer_ == nullptr) return LookUpOwnInterface(riid, ppv);
  const HRESULT hr = outer_->QueryInterface(riid, ppv);
  // An interface the outer object refuses is still answered from the inner table,
  // unless the outer pointer is this very instance (that would only ask again).
  if (FAILED(hr) && outer_ != static_cast<IGerneralNodmark2*>(this)) {
    return LookUpOwnInterface(riid, ppv);
  }
  return hr;
}

STDMETHODIMP_(ULONG) GerneralNodmark::AddRef() noexcept {
  if (outer_ != nullptr) return outer_->AddRef();
  return ++refCount_;
}

STDMETHODIMP_(ULONG) GerneralNodmark::Release() noexcept {
  if (outer_ != nullptr) return outer_->Release();
  return ReleaseReference(this, refCount_);
}

STDMETHODIMP GerneralNodmark::GetTypeInfoCount(UINT* pctinfo) noexcept {
  return DispatchGetTypeInfoCount(pctinfo);
}

STDMETHODIMP GerneralNodmark::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) noexcept {
  return DispatchGetTypeInfo(iTInfo, lcid, ppTInfo);
}

STDMETHODIMP GerneralNodmark::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) noexcept {
  return DispatchGetIDsOfNames(rgszNames, cNames, lcid, rgDispId);
}

STDMETHODIMP GerneralNodmark::Invoke(DISPID dispIdMember, REFIID /*riid*/, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) noexcept {
  return DispatchInvoke(this, dispIdMember, lcid, wFlags, pDispParams, pVarResult, pExcepInfo,
                        puArgErr);
}

STDMETHODIMP GerneralNodmark::get_nodmark_old(BSTR* pVal) noexcept {
  return ReadProperty(oldText_, pVal);
}

STDMETHODIMP GerneralNodmark::get_nodmark_new(BSTR* pVal) noexcept {
  return ReadProperty(newText_, pVal);
}

STDMETHODIMP GerneralNodmark::get_nodmark_complicate(BSTR* pVal) noexcept {
  return ReadProperty(complicateText_, pVal);
}

STDMETHODIMP GerneralNodmark::nodmark_old_for(BSTR application, BSTR* pVal) noexcept {
  return ReadApplicationIdentifier(oldText_, application, pVal);
}

STDMETHODIMP GerneralNodmark::nodmark_new_for(BSTR application, BSTR* pVal) noexcept {
  return ReadApplicationIdentifier(newText_, application, pVal);
}

STDMETHODIMP GerneralNodmark::nodmark_complicate_for(BSTR application, BSTR* pVal) noexcept {
  return ReadApplicationIdentifier(complicateText_, application, pVal);
}

STDMETHODIMP GerneralNodmark::GetInterfaceSafetyOptions(REFIID /*riid*/,
                                                        DWORD* /*pdwSupportedOptions*/,
                                                        DWORD* /*pdwEnabledOptions*/) noexcept {
  return S_OK;
}

STDMETHODIMP GerneralNodmark::SetInterfaceSafetyOptions(REFIID /*riid*/, DWORD /*dwOptionSetMask*/,
                                                        DWORD /*dwEnabledOptions*/) noexcept {
  return S_OK;
}

GerneralNodmarkAggregate::GerneralNodmarkAggregate(IUnknown* outer) : inner_(outer) {}

STDMETHODIMP GerneralNodmarkAggregate::QueryInterface(REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown) {
    AddRef();
    *ppv = static_cast<IUnknown*>(this);
    return S_OK;
  }
  return inner_.LookUpOwnInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) GerneralNodmarkAggregate::AddRef() noexcept { return ++refCount_; }

STDMETHODIMP_(ULONG) GerneralNodmarkAggregate::Release() noexcept {
  return ReleaseReference(this, refCount_);
}

HRESULT CreateGerneralNodmark(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  if (outer == nullptr) return CreateAndQuery<GerneralNodmark>(nullptr, riid, ppv);
  return CreateAndQuery<GerneralNodmarkAggregate>(outer, riid, ppv);
}

}  // namespace nodmark::shell

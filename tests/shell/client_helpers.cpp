#include "shell/client_helpers.h"

#include <objbase.h>

#include <cstdlib>

namespace nodmark::testing {

GUID GuidFromText(const wchar_t* text) {
  GUID guid{};
  if (FAILED(CLSIDFromString(text, &guid))) std::abort();
  return guid;
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

STDMETHODIMP TestOuter::QueryInterface(REFIID riid, void** ppv) {
  ++queryCalls;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown) {
    *ppv = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  if (delegate && inner != nullptr) return inner->QueryInterface(riid, ppv);
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TestOuter::AddRef() {
  ++addRefCalls;
  return ++count;
}

STDMETHODIMP_(ULONG) TestOuter::Release() {
  ++releaseCalls;
  return --count;
}

HRESULT IdOf(IDispatch* object, const wchar_t* name, DISPID* dispid) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, dispid);
}

HRESULT ReadByDispid(IDispatch* object, DISPID dispid, VARIANT* result) {
  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                        result, nullptr, nullptr);
}

}  // namespace nodmark::testing

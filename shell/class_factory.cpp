#include "shell/class_factory.h"

#include <iterator>
#include <memory>
#include <new>

#include "shell/interface_table.h"
#include "shell/module_state.h"

namespace nodmark::shell {
namespace {

// The count at which someone besides the class table holds the factory.
constexpr ULONG kFirstClientReference = 2;

}  // namespace

CachedClassFactory::CachedClassFactory(InstanceMaker makeInstance) noexcept
    : makeInstance_(makeInstance) {}

STDMETHODIMP CachedClassFactory::QueryInterface(REFIID riid, void** ppv) noexcept {
  const InterfaceTableRow rows[] = {{&IID_IClassFactory, this}};
  return LookUpInterface(rows, std::size(rows), riid, ppv);
}

STDMETHODIMP_(ULONG) CachedClassFactory::AddRef() noexcept {
  const platform::RecursiveLock::Guard guard(factoryLock_);
  const ULONG count = ++count_;
  if (count == kFirstClientReference) LockModule();
  return count;
}

STDMETHODIMP_(ULONG) CachedClassFactory::Release() noexcept {
  ULONG count = 0;
  {
    const platform::RecursiveLock::Guard guard(factoryLock_);
    count = --count_;
  }
  if (count == 0) {
    count_ = 1;  // a reference taken during teardown cannot start a second one
    delete this;
  } else if (count == kFirstClientReference - 1) {
    UnlockModule();
  }
  return count;
}

STDMETHODIMP CachedClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  // An aggregate hands its outer object only its own IUnknown.
  if (outer != nullptr && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  return makeInstance_(outer, riid, ppv);
}

STDMETHODIMP CachedClassFactory::LockServer(BOOL lock) noexcept {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

HRESULT MakeCachedClassFactory(InstanceMaker makeInstance, REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  std::unique_ptr<CachedClassFactory> factory(new (std::nothrow) CachedClassFactory(makeInstance));
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(riid, ppv);
  if (SUCCEEDED(hr)) static_cast<void>(factory.release());  // now owned by the reference in *ppv
  return hr;
}

}  // namespace nodmark::shell

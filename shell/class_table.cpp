#include "shell/class_table.h"

#include <atomic>

#include "shell/class_factory.h"
#include "shell/gerneral_nodmark.h"
#include "shell/guids.h"
#include "shell/module_state.h"

namespace nodmark::shell {
namespace {

struct ClassTableEntry {
  const CLSID* clsid;  // null ends the table
  FactoryMaker makeFactory;
  InstanceMaker makeInstance;
  // Owned by the table, null until first asked for. Read without a lock, written
  // under the class-table lock: a reader that sees it set sees a complete factory.
  std::atomic<IUnknown*> cachedFactory;
};

ClassTableEntry classTable[] = {
    {&kClsidGerneralNodmark, &MakeCachedClassFactory, &CreateGerneralNodmark, {nullptr}},
    {nullptr, nullptr, nullptr, {nullptr}},
};

// The row's factory, made on first use. At most one is ever made per row: the first
// caller makes it under the class-table lock while later ones wait and find it.
HRESULT CachedFactory(ClassTableEntry& row, IUnknown** factory) noexcept {
  *factory = row.cachedFactory.load(std::memory_order_acquire);
  if (*factory != nullptr) return S_OK;
  const platform::RecursiveLock::Guard guard(ClassTableLock());
  *factory = row.cachedFactory.load(std::memory_order_relaxed);
  if (*factory != nullptr) return S_OK;
  // A failed attempt leaves the row empty, so the next request tries again.
  const HRESULT hr =
      row.makeFactory(row.makeInstance, IID_IUnknown, reinterpret_cast<void**>(factory));
  if (SUCCEEDED(hr)) row.cachedFactory.store(*factory, std::memory_order_release);
  return hr;
}

}  // namespace

void ReleaseCachedFactories() noexcept {
  for (ClassTableEntry* row = classTable; row->clsid != nullptr; ++row) {
    if (IUnknown* factory = row->cachedFactory.exchange(nullptr)) factory->Release();
  }
}

}  // namespace nodmark::shell

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  using namespace nodmark::shell;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  for (ClassTableEntry* row = classTable; row->clsid != nullptr; ++row) {
    if (row->makeFactory == nullptr || *row->clsid != rclsid) continue;
    IUnknown* factory = nullptr;
    const HRESULT hr = CachedFactory(*row, &factory);
    if (FAILED(hr)) return hr;
    // The table keeps its own reference; the caller gets a new one, or
    // E_NOINTERFACE for an interface the factory does not have.
    return factory->QueryInterface(riid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return nodmark::shell::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

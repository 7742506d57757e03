#ifndef NODMARK_SHELL_CLASS_FACTORY_H_
#define NODMARK_SHELL_CLASS_FACTORY_H_

#include <windows.h>

#include <unknwn.h>

#include <atomic>

#include "platform/lock.h"
#include "shell/class_table.h"

namespace nodmark::shell {

// The class factory the class table caches and hands out. Its count changes under
// factoryLock_ together with the module lock decision that goes with it: the
// module is locked while anyone besides the class table holds the factory. Any
// thread may call it.
class CachedClassFactory final : public IClassFactory {
 public:
  explicit CachedClassFactory(InstanceMaker makeInstance) noexcept;
  ~CachedClassFactory() = default;
  CachedClassFactory(const CachedClassFactory&) = delete;
  CachedClassFactory& operator=(const CachedClassFactory&) = delete;

  // IUnknown: the factory answers IUnknown and IClassFactory.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  // IClassFactory. CreateInstance gives CLASS_E_NOAGGREGATION for an outer object
  // asking for anything but IUnknown. LockServer(FALSE) always unlocks the module,
  // matched or not.
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept override;
  STDMETHODIMP LockServer(BOOL lock) noexcept override;

 private:
  std::atomic<ULONG> count_{0};
  const InstanceMaker makeInstance_;
  platform::RecursiveLock factoryLock_;
};

// A new CachedClassFactory asked for `riid`: S_OK with its first reference in *ppv
// (which does not lock the module), E_OUTOFMEMORY, or the QueryInterface failure
// (the factory is then freed). *ppv is null on failure.
HRESULT MakeCachedClassFactory(InstanceMaker makeInstance, REFIID riid, void** ppv) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_CLASS_FACTORY_H_

#include "shell/module_state.h"

#include <atomic>
#include <memory>
#include <new>

#include "shell/class_table.h"
#include "shell/type_info_cache.h"

namespace nodmark::shell {
namespace {

struct ShutdownCallback {
  ShutdownFunction function;
  void* argument;
  std::unique_ptr<ShutdownCallback> next;
};

// One per process. A static object, so the runtime constructs its locks before the
// entry point's attach and destroys them after its detach: no call into the module
// can find them missing.
struct ModuleState {
  HINSTANCE instance = nullptr;
  std::atomic<long> lockCount{0};
  platform::RecursiveLock typeInfoLock;
  platform::RecursiveLock classTableLock;
  std::unique_ptr<ShutdownCallback> shutdownList;  // most recently added first
};

ModuleState moduleState;

}  // namespace

void AttachModule(HINSTANCE instance) noexcept {
  moduleState.instance = instance;
  moduleState.lockCount = 0;
  moduleState.shutdownList.reset();
}

void DetachModule() noexcept {
  ReleaseCachedFactories();
  // The loader serialises detach with every other call into the module, and the
  // callbacks may take the type-information lock themselves: walk without it.
  while (std::unique_ptr<ShutdownCallback> node = std::move(moduleState.shutdownList)) {
    moduleState.shutdownList = std::move(node->next);
    node->function(node->argument);
  }
  CleanUpUnlistedTypeInfoCache();
}

HINSTANCE ModuleInstance() noexcept { return moduleState.instance; }

void LockModule() noexcept { ++moduleState.lockCount; }

void UnlockModule() noexcept { --moduleState.lockCount; }

long ModuleLockCount() noexcept { return moduleState.lockCount.load(); }

HRESULT AddShutdownCallback(ShutdownFunction function, void* argument) noexcept {
  std::unique_ptr<ShutdownCallback> node(new (std::nothrow)
                                             ShutdownCallback{function, argument, nullptr});
  if (!node) return E_OUTOFMEMORY;
  const platform::RecursiveLock::Guard guard(moduleState.typeInfoLock);
  node->next = std::move(moduleState.shutdownList);
  moduleState.shutdownList = std::move(node);
  return S_OK;
}

std::size_t ShutdownCallbackCount() noexcept {
  const platform::RecursiveLock::Guard guard(moduleState.typeInfoLock);
  std::size_t count = 0;
  for (const ShutdownCallback* node = moduleState.shutdownList.get(); node != nullptr;
       node = node->next.get()) {
    ++count;
  }
  return count;
}

platform::RecursiveLock& TypeInfoLock() noexcept { return moduleState.typeInfoLock; }

platform::RecursiveLock& ClassTableLock() noexcept { return moduleState.classTableLock; }

}  // namespace nodmark::shell

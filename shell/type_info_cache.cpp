#include "shell/type_info_cache.h"

#include "platform/win32/com_ptr.h"
#include "shell/guids.h"
#include "shell/module_state.h"
#include "shell/type_library_loader.h"

namespace nodmark::shell {
namespace {

// Progress of putting the clean-up into the shutdown list.
constexpr int kCleanupAbsent = 0;
constexpr int kCleanupBeingAdded = 1;
constexpr int kCleanupListed = 2;

// The default interface's: it carries the three properties and the three methods.
TypeInfoCache processCache{kIidGerneralNodmark2, kLibidNodmarkLib, kTypeLibMajorVersion,
                           kTypeLibMinorVersion};

// Puts the clean-up into the shutdown list unless it is there already, so that a
// host calling dispatch over and over while the type library cannot be loaded adds
// it once rather than once per call. One thread adds it; a thread that finds
// another one adding it waits for the outcome. When memory for the list's node runs
// out the cache stays unlisted and DetachModule empties it all the same
// (CleanUpUnlistedTypeInfoCache).
void ListCleanup(TypeInfoCache& cache) noexcept {
  for (;;) {
    int state = kCleanupAbsent;
    if (cache.cleanupState.compare_exchange_strong(state, kCleanupBeingAdded)) {
      // Outside the type-information lock, which AddShutdownCallback takes itself.
      const bool listed = SUCCEEDED(AddShutdownCallback(&CleanUpTypeInfoCache, &cache));
      cache.cleanupState.store(listed ? kCleanupListed : kCleanupAbsent);
      return;
    }
    if (state == kCleanupListed) return;
    SwitchToThread();  // another thread is adding it: a matter of one allocation
  }
}

// Loads the type information and its name cache into `cache`; called under the
// type-information lock with the cache empty.
HRESULT LoadTypeInfo(TypeInfoCache& cache, LCID lcid) noexcept {
  platform::ComPtr<ITypeLib> library;
  HRESULT hr = LoadRegisteredTypeLibrary(cache.libid, cache.majorVersion, cache.minorVersion, lcid,
                                         library.put());
  if (FAILED(hr)) return hr;
  if (!library) return E_UNEXPECTED;
  platform::ComPtr<ITypeInfo> info;
  hr = library->GetTypeInfoOfGuid(cache.iid, info.put());
  if (FAILED(hr)) return hr;
  if (!info) return E_UNEXPECTED;
  // The richer interface when the type information has it; callers of GetTypeInfo
  // may ask it for ITypeInfo2 either way.
  platform::ComPtr<ITypeInfo2> info2;
  if (SUCCEEDED(info.As(IID_ITypeInfo2, info2)) && info2) info.reset(info2.release());
  cache.names = NameCache::Build(info.get());
  // Published last: whoever sees the pointer sees the complete name cache.
  cache.typeInfo.store(info.release(), std::memory_order_release);
  return S_OK;
}

}  // namespace

TypeInfoCache& ProcessTypeInfoCache() noexcept { return processCache; }

HRESULT EnsureTypeInfo(TypeInfoCache& cache, LCID lcid) noexcept {
  if (LoadedTypeInfo(cache) != nullptr) return S_OK;
  ListCleanup(cache);
  const platform::RecursiveLock::Guard guard(TypeInfoLock());
  if (LoadedTypeInfo(cache) != nullptr) return S_OK;  // another thread loaded it meanwhile
  return LoadTypeInfo(cache, lcid);
}

void CleanUpTypeInfoCache(void* argument) noexcept {
  auto& cache = *static_cast<TypeInfoCache*>(argument);
  if (ITypeInfo* const info = cache.typeInfo.exchange(nullptr)) info->Release();
  cache.names = NameCache();
  // The list that held the clean-up is being emptied: a module attached again (the
  // shell's test program does that) lists it anew on its first load.
  cache.cleanupState.store(kCleanupAbsent);
}

void CleanUpUnlistedTypeInfoCache() noexcept {
  // The listed clean-up, when there was one, has emptied the cache already.
  if (LoadedTypeInfo(processCache) != nullptr) CleanUpTypeInfoCache(&processCache);
}

}  // namespace nodmark::shell

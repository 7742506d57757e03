#ifndef NODMARK_SHELL_TYPE_INFO_CACHE_H_
#define NODMARK_SHELL_TYPE_INFO_CACHE_H_

#include <windows.h>

#include <oaidl.h>

#include <atomic>

#include "shell/name_cache.h"

// The process-wide cache of IGerneralNodmark2's type information, loaded from the
// registered type library on the first dispatch call that needs it and shared by
// every instance.
namespace nodmark::shell {

struct TypeInfoCache {
  TypeInfoCache(const IID& interfaceId, const GUID& libraryId, WORD major, WORD minor) noexcept
      : iid(interfaceId), libid(libraryId), majorVersion(major), minorVersion(minor) {}
  TypeInfoCache(const TypeInfoCache&) = delete;
  TypeInfoCache& operator=(const TypeInfoCache&) = delete;

  const IID& iid;
  const GUID& libid;
  WORD majorVersion;
  WORD minorVersion;
  // Null until loaded; the cache owns one reference. Stored only once the name cache
  // is complete, so a reader that sees it set may read `names` without the lock.
  std::atomic<ITypeInfo*> typeInfo{nullptr};
  NameCache names;
  // Whether the clean-up is in the module's shutdown list (see EnsureTypeInfo).
  std::atomic<int> cleanupState{0};
};

// The one cache of the process.
TypeInfoCache& ProcessTypeInfoCache() noexcept;

// Loads the type information into the cache unless it is there: S_OK when the cache
// holds it on return. Otherwise the cache stays empty and the result is the type
// library loader's or GetTypeInfoOfGuid's failure; the next call tries again. A loaded
// cache is read without locking; loading happens under the type-information lock,
// once per process however many threads ask at the same time. The clean-up is added
// to the module's shutdown list once, before the first load; when memory for that
// runs out the load goes ahead and the module's detach empties the cache through
// CleanUpUnlistedTypeInfoCache instead. Any thread.
HRESULT EnsureTypeInfo(TypeInfoCache& cache, LCID lcid) noexcept;

// The cache's loaded type information, or null; no reference is added.
inline ITypeInfo* LoadedTypeInfo(const TypeInfoCache& cache) noexcept {
  return cache.typeInfo.load(std::memory_order_acquire);
}

// Empties the cache: releases the type information and frees the name cache. Run at
// module shutdown, when no other call into the module runs; running it again is
// harmless.
void CleanUpTypeInfoCache(void* cache) noexcept;

// Empties the process's cache if it still holds type information, as it does after
// the shutdown callbacks have run only when its clean-up could not be listed. Called
// by DetachModule last.
void CleanUpUnlistedTypeInfoCache() noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_TYPE_INFO_CACHE_H_

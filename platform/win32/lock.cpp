#include "platform/lock.h"

#include <windows.h>

#include <new>

namespace nodmark::platform {
namespace {

CRITICAL_SECTION* Section(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

}  // namespace

RecursiveLock::RecursiveLock() {
  static_assert(sizeof(CRITICAL_SECTION) <= kStorageSize, "storage too small");
  InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

RecursiveLock::~RecursiveLock() { DeleteCriticalSection(Section(storage_)); }

void RecursiveLock::Enter() { EnterCriticalSection(Section(storage_)); }

void RecursiveLock::Leave() { LeaveCriticalSection(Section(storage_)); }

}  // namespace nodmark::platform

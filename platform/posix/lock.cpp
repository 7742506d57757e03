#include "platform/lock.h"

#include <mutex>
#include <new>

namespace nodmark::platform {
namespace {

std::recursive_mutex* Mutex(unsigned char* storage) {
  return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

}  // namespace

RecursiveLock::RecursiveLock() {
  static_assert(sizeof(std::recursive_mutex) <= kStorageSize, "storage too small");
  new (storage_) std::recursive_mutex;
}

RecursiveLock::~RecursiveLock() { Mutex(storage_)->~recursive_mutex(); }

void RecursiveLock::Enter() { Mutex(storage_)->lock(); }

void RecursiveLock::Leave() { Mutex(storage_)->unlock(); }

}  // namespace nodmark::platform

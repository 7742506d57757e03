#ifndef NODMARK_PLATFORM_UNIQUE_OWNER_H_
#define NODMARK_PLATFORM_UNIQUE_OWNER_H_

#include <cassert>
#include <utility>

namespace nodmark::platform {

// Sole owner of one OS handle: `Release` is called on it exactly once, when the owner
// is destroyed or reset. The value-initialised handle (null) means "owns nothing" and
// is never released. Copying is deleted; moving hands the handle over. Not thread-safe.
//
//   using UniqueRegistryKey = UniqueOwner<HKEY, CloseRegistryKey>;
//   UniqueRegistryKey key;
//   if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
template <typename Handle, auto Release>
class UniqueOwner {
 public:
  UniqueOwner() = default;
  explicit UniqueOwner(Handle handle) noexcept : handle_(handle) {}
  ~UniqueOwner() { reset(); }

  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Handle{}; }

  // Gives the handle up without releasing it; the owner is empty afterwards.
  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Handle{}); }

  // Releases the held handle (if any) and takes `handle` instead.
  void reset(Handle handle = Handle{}) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Handle{}) Release(old);
  }

  // The address an OS call writes a new handle to. The owner must be empty: a caller
  // that passes a full owner has lost track of what it holds, so debug builds stop
  // there; release builds let go of the old handle rather than leak it.
  Handle* put() noexcept {
    assert(handle_ == Handle{} && "UniqueOwner::put() on an owner that holds a handle");
    reset();
    return &handle_;
  }

 private:
  Handle handle_{};
};

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_UNIQUE_OWNER_H_

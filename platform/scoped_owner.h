#ifndef NODMARK_PLATFORM_SCOPED_OWNER_H_
#define NODMARK_PLATFORM_SCOPED_OWNER_H_

#include <cassert>
#include <utility>

namespace nodmark::platform {

// Owns one thing the OS handed out and frees it exactly once. `Traits` names the
// handle type and how to tell and free a live one:
//   using Handle = ...;
//   static Handle Invalid() noexcept;
//   static bool IsValid(const Handle&) noexcept;
//   static void Free(const Handle&) noexcept;
// Copying is deleted; moving hands the handle over and leaves the source empty.
// Not thread-safe: one owner belongs to one thread at a time.
template <typename Traits>
class ScopedOwner {
 public:
  using Handle = typename Traits::Handle;

  ScopedOwner() noexcept : handle_(Traits::Invalid()) {}
  explicit ScopedOwner(Handle handle) noexcept : handle_(std::move(handle)) {}
  ~ScopedOwner() { reset(); }

  ScopedOwner(const ScopedOwner&) = delete;
  ScopedOwner& operator=(const ScopedOwner&) = delete;
  ScopedOwner(ScopedOwner&& other) noexcept : handle_(other.release()) {}
  ScopedOwner& operator=(ScopedOwner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  const Handle& get() const noexcept { return handle_; }
  // The handle itself, for pointer-like handles such as COM references.
  const Handle& operator->() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

  // Gives up ownership without freeing; the caller now owns the returned handle.
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  // Frees the current handle, if any, and takes `handle`.
  void reset(Handle handle = Traits::Invalid()) noexcept {
    Handle old = std::exchange(handle_, std::move(handle));
    if (Traits::IsValid(old)) Traits::Free(old);
  }

  // For an OS call that writes a new handle into an out-parameter. The owner must be
  // empty: a live handle would be overwritten and leak (it is freed first in release
  // builds, and the mistake stops a debug build).
  Handle* put() noexcept {
    assert(!Traits::IsValid(handle_) && "put() on an owner that holds a handle");
    reset();
    return &handle_;
  }

 private:
  Handle handle_;
};

// Traits for the common case of a handle whose null value means "nothing" and that one
// free function releases.
template <typename HandleType, auto FreeFunction>
struct NullHandleTraits {
  using Handle = HandleType;
  static Handle Invalid() noexcept { return Handle{}; }
  static bool IsValid(const Handle& handle) noexcept { return handle != Handle{}; }
  static void Free(const Handle& handle) noexcept { FreeFunction(handle); }
};

//   using UniqueRegistryKey = UniqueOwner<HKEY, CloseRegistryKey>;
//   UniqueRegistryKey key;
//   if (RegOpenKeyExA(root, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
template <typename Handle, auto FreeFunction>
using UniqueOwner = ScopedOwner<NullHandleTraits<Handle, FreeFunction>>;

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_SCOPED_OWNER_H_

#ifndef NODMARK_PLATFORM_WIN32_UNIQUE_RESOURCE_H_
#define NODMARK_PLATFORM_WIN32_UNIQUE_RESOURCE_H_

#include <cassert>
#include <utility>

namespace nodmark::platform {

// Sole owner of one OS resource: a handle of type `Handle` whose empty value is
// Handle{} (null), given back with `Free(handle)` when the owner lets go of it.
// Movable, not copyable. Not thread-safe: one owner, one thread at a time.
template <typename Handle, auto Free>
class UniqueResource {
 public:
  UniqueResource() noexcept = default;
  // Takes ownership of `handle` (which may be empty).
  explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
  ~UniqueResource() { reset(); }

  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const noexcept { return handle_; }
  // The handle itself, for pointer-like handles such as COM references.
  Handle operator->() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Handle{}; }

  // Hands the handle to the caller, who must free it; the owner is empty afterwards.
  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Handle{}); }

  // Frees what the owner held and takes `handle` instead.
  void reset(Handle handle = Handle{}) noexcept {
    const Handle previous = std::exchange(handle_, handle);
    if (previous != Handle{}) Free(previous);
  }

  // The address an OS call writes a new handle to. The owner must be empty: a
  // handle still held would be overwritten and lost, so debug builds stop here and
  // release builds free it first.
  Handle* put() noexcept {
    assert(handle_ == Handle{} && "put() on an owner that still holds a resource");
    reset();
    return &handle_;
  }

 private:
  Handle handle_{};
};

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_WIN32_UNIQUE_RESOURCE_H_

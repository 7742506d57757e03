#ifndef NODMARK_PLATFORM_FIRMWARE_H_
#define NODMARK_PLATFORM_FIRMWARE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace nodmark::platform {

// The legacy firmware area of physical memory: kFirmwareWindowSize bytes from
// physical address kFirmwareWindowBase.
inline constexpr std::uint32_t kFirmwareWindowBase = 0xF0000;
inline constexpr std::size_t kFirmwareWindowSize = 0xFFFF;

// A read-only view of the firmware window, released when the object goes away.
// Move-only; an empty window (data() null, size() 0) means the memory could not be
// mapped. A non-empty one holds at least kFirmwareWindowSize bytes.
class FirmwareWindow {
 public:
  // What keeps the bytes readable (a mapped section, a memory map, a copy) and how
  // to let go of it; each platform layer defines its own.
  struct Mapping;
  using MappingOwner = std::unique_ptr<Mapping, void (*)(Mapping*)>;

  FirmwareWindow() noexcept = default;
  FirmwareWindow(MappingOwner mapping, const std::uint8_t* data, std::size_t size) noexcept
      : mapping_(std::move(mapping)), data_(data), size_(size) {}
  FirmwareWindow(FirmwareWindow&& other) noexcept
      : mapping_(std::move(other.mapping_)),
        data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)) {}
  FirmwareWindow& operator=(FirmwareWindow&& other) noexcept {
    if (this != &other) {
      mapping_ = std::move(other.mapping_);
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  FirmwareWindow(const FirmwareWindow&) = delete;
  FirmwareWindow& operator=(const FirmwareWindow&) = delete;

  const std::uint8_t* data() const noexcept { return data_; }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }

 private:
  MappingOwner mapping_{nullptr, nullptr};
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Maps the firmware window read-only for the caller. Empty when the platform refuses
// access to physical memory (the usual case for a process without administrator or
// root rights, and always under Wine) or has no such area. Thread-safe.
FirmwareWindow MapFirmwareWindow();

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_FIRMWARE_H_

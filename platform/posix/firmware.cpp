#include "platform/firmware.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <vector>

#include "platform/posix/scoped_fd.h"
#include "platform/scoped_owner.h"

// Physical memory is /dev/mem, open to root only, and on most kernels restricted to
// the low megabyte where the firmware area lies. The window is memory-mapped; where
// the kernel refuses the map but allows reading, it is copied with pread instead.
namespace nodmark::platform {
namespace {

constexpr char kPhysicalMemoryDevice[] = "/dev/mem";

// Only PC-compatible machines keep firmware at 0xF0000; elsewhere that address may
// be a device whose registers must not be touched.
#if defined(__i386__) || defined(__x86_64__)
constexpr bool kHasLegacyFirmwareArea = true;
#else
constexpr bool kHasLegacyFirmwareArea = false;
#endif

struct MemoryMap {
  void* address = MAP_FAILED;
  std::size_t length = 0;
};

struct MemoryMapTraits {
  using Handle = MemoryMap;
  static Handle Invalid() noexcept { return {}; }
  static bool IsValid(const Handle& map) noexcept { return map.address != MAP_FAILED; }
  static void Free(const Handle& map) noexcept { ::munmap(map.address, map.length); }
};

bool ReadFully(int fd, std::uint8_t* buffer, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, buffer + done, size - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

struct FirmwareWindow::Mapping {
  ScopedOwner<MemoryMapTraits> map;
  std::vector<std::uint8_t> copy;
};

namespace {

void DestroyMapping(FirmwareWindow::Mapping* mapping) { delete mapping; }

}  // namespace

FirmwareWindow MapFirmwareWindow() {
  if (!kHasLegacyFirmwareArea) return {};
  const ScopedFd fd(::open(kPhysicalMemoryDevice, O_RDONLY | O_CLOEXEC));
  if (!fd) return {};

  FirmwareWindow::MappingOwner mapping(new FirmwareWindow::Mapping, DestroyMapping);
  const off_t base = static_cast<off_t>(kFirmwareWindowBase);
  void* address = ::mmap(nullptr, kFirmwareWindowSize, PROT_READ, MAP_SHARED, fd.get(), base);
  if (address != MAP_FAILED) {
    mapping->map.reset(MemoryMap{address, kFirmwareWindowSize});
    const auto* data = static_cast<const std::uint8_t*>(address);
    return FirmwareWindow(std::move(mapping), data, kFirmwareWindowSize);
  }

  mapping->copy.resize(kFirmwareWindowSize);
  if (!ReadFully(fd.get(), mapping->copy.data(), kFirmwareWindowSize, base)) return {};
  const std::uint8_t* data = mapping->copy.data();
  return FirmwareWindow(std::move(mapping), data, kFirmwareWindowSize);
}

}  // namespace nodmark::platform

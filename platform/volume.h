#ifndef NODMARK_PLATFORM_VOLUME_H_
#define NODMARK_PLATFORM_VOLUME_H_

#include <cstdint>
#include <optional>

namespace nodmark::platform {

// The 32-bit serial number of the volume at `rootPath` (the source asks for "c:\"),
// or nullopt when there is no such volume or it cannot be queried.
std::optional<std::uint32_t> QueryVolumeSerial(const char* rootPath);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_VOLUME_H_

#include "platform/volume.h"

#include <windows.h>

namespace nodmark::platform {
namespace {

// The query asks for the label as it always has; only the serial is used.
constexpr DWORD kLabelCapacity = 100;

}  // namespace

std::optional<std::uint32_t> QueryVolumeSerial(const char* rootPath) {
  char label[kLabelCapacity] = {};
  DWORD serial = 0;
  if (!GetVolumeInformationA(rootPath, label, kLabelCapacity, &serial, /*maxComponent=*/nullptr,
                             /*flags=*/nullptr, /*fileSystemName=*/nullptr, /*nameSize=*/0)) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(serial);
}

}  // namespace nodmark::platform

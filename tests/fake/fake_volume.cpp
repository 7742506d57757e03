#include "fake/fake_volume.h"

#include <string_view>

#include "platform/volume.h"

namespace nodmark::fake {

VolumeScript& Volumes() {
  static VolumeScript script;
  return script;
}

VolumeScript& ResetVolumes() { return Volumes() = VolumeScript(); }

}  // namespace nodmark::fake

namespace nodmark::platform {

std::optional<std::uint32_t> QueryVolumeSerial(const char* rootPath) {
  fake::VolumeScript& script = fake::Volumes();
  ++script.queries;
  script.lastRootPath = rootPath;
  const std::string_view root(rootPath);
  if (root != "c:\\" && root != "C:\\") return std::nullopt;
  return script.serialOfC;
}

}  // namespace nodmark::platform

#ifndef NODMARK_TESTS_FAKE_FAKE_VOLUME_H_
#define NODMARK_TESTS_FAKE_FAKE_VOLUME_H_

#include <cstdint>
#include <optional>
#include <string>

namespace nodmark::fake {

// Volumes of the scripted machine: only "c:\" (any letter case) exists when
// `serialOfC` is set.
struct VolumeScript {
  std::optional<std::uint32_t> serialOfC;
  std::string lastRootPath;
  int queries = 0;
};

VolumeScript& Volumes();
VolumeScript& ResetVolumes();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_VOLUME_H_

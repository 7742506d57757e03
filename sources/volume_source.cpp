#include "platform/volume.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

// Always drive C:, not the drive the system is installed on: peers key on C:.
constexpr char kSystemVolumeRoot[] = "c:\\";

}  // namespace

ByteString VolumeSerialBytes(std::uint32_t serial) {
  ByteString bytes;
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<std::uint8_t>(serial >> shift));
  }
  bytes.push_back(0x00);
  bytes.push_back(0x00);
  return bytes;
}

bool ReadVolumeSerial(ByteString& output) {
  output.clear();
  const std::optional<std::uint32_t> serial = platform::QueryVolumeSerial(kSystemVolumeRoot);
  if (!serial) return false;
  output = VolumeSerialBytes(*serial);
  return true;
}

}  // namespace nodmark::sources

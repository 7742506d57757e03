#ifndef NODMARK_TESTS_FAKE_FAKE_FIRMWARE_H_
#define NODMARK_TESTS_FAKE_FAKE_FIRMWARE_H_

#include <optional>

#include "core/byte_string.h"

namespace nodmark::fake {

// The scripted firmware window: unset means the map is refused. Counts maps and
// releases so tests can see every view let go.
struct FirmwareScript {
  std::optional<ByteString> window;
  int maps = 0;
  int releases = 0;
};

FirmwareScript& Firmware();
FirmwareScript& ResetFirmware();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_FIRMWARE_H_

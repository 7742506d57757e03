#include "platform/firmware.h"
#include "sources/firmware_probe.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {

bool ReadFirmwareSignature(ByteString& output) {
  output.clear();
  // The window is released when this returns, whichever way.
  const platform::FirmwareWindow window = platform::MapFirmwareWindow();
  if (const auto match = FindFirmwareText(window.data(), window.size())) {
    output.assign(match->text.begin(), match->text.end());
  }
  return true;
}

}  // namespace nodmark::sources

#include "fake/fake_firmware.h"

#include "platform/firmware.h"

namespace nodmark::fake {

FirmwareScript& Firmware() {
  static FirmwareScript script;
  return script;
}

FirmwareScript& ResetFirmware() { return Firmware() = FirmwareScript(); }

}  // namespace nodmark::fake

namespace nodmark::platform {

// The scripted window's bytes stay in the script; the mapping only counts its release.
struct FirmwareWindow::Mapping {};

namespace {

void ReleaseMapping(FirmwareWindow::Mapping* mapping) {
  ++fake::Firmware().releases;
  delete mapping;
}

}  // namespace

FirmwareWindow MapFirmwareWindow() {
  fake::FirmwareScript& script = fake::Firmware();
  ++script.maps;
  if (!script.window) return {};
  return FirmwareWindow(FirmwareWindow::MappingOwner(new FirmwareWindow::Mapping, ReleaseMapping),
                        script.window->data(), script.window->size());
}

}  // namespace nodmark::platform

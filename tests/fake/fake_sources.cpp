#include "fake/fake_sources.h"

#include "sources/machine_sources.h"

namespace nodmark::fake {

SourceScript& Sources() {
  static SourceScript script;
  return script;
}

SourceScript& ResetSources() { return Sources() = SourceScript(); }

namespace {

bool Answer(const std::optional<ByteString>& scripted, ByteString& output) {
  output = scripted ? *scripted : Sources().junkOnFailure;
  return scripted.has_value();
}

}  // namespace
}  // namespace nodmark::fake

namespace nodmark::sources {

bool ReadAdapterAddresses(ByteString& output, std::uint8_t mode) {
  fake::SourceScript& script = fake::Sources();
  if (mode == kFilterListOff) {
    script.Record("adapter_filter_off");
    return fake::Answer(script.adapterFilterOff, output);
  }
  script.Record("adapter_filter_on");
  return fake::Answer(script.adapterFilterOn, output);
}

bool ReadVolumeSerial(ByteString& output) {
  fake::Sources().Record("volume");
  return fake::Answer(fake::Sources().volumeSerial, output);
}

bool ReadProcessorSignature(ByteString& output) {
  fake::Sources().Record("processor");
  output = fake::Sources().processorSignature;
  return true;
}

bool ReadFirmwareSignature(ByteString& output) {
  fake::Sources().Record("firmware");
  output = fake::Sources().firmwareSignature;
  return true;
}

std::string ReadStoredRandomId() {
  fake::Sources().Record("random_id");
  return fake::Sources().storedRandomId;
}

std::string ReadSettingsTag() {
  fake::Sources().Record("settings_tag");
  return fake::Sources().settingsTag;
}

}  // namespace nodmark::sources

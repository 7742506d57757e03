#include "tools/explaining/explain_report.h"

#include "identifiers/digest_text.h"
#include "platform/firmware.h"
#include "sources/machine_sources.h"

namespace nodmark::tools {
namespace {

constexpr int kBitsPerByte = 8;
constexpr std::size_t kSerialBytes = 4;

AdapterReport ExplainAdapters() {
  AdapterReport report;
  // Read before the listing, as the source does: the first read creates the process's
  // filter list store.
  report.filterEntries = sources::ReadFilterEntries();
  report.listing = platform::ListNetworkAdapters();
  if (!report.listing) return report;
  report.withoutFilterList = sources::JudgeAdapters(*report.listing, sources::FilterEntries{});
  report.withFilterList = sources::JudgeAdapters(*report.listing, report.filterEntries);
  report.chosenWithoutFilterList = ChosenAddress(*report.listing, report.withoutFilterList);
  report.chosenWithFilterList = ChosenAddress(*report.listing, report.withFilterList);
  return report;
}

FirmwareReport ExplainFirmware() {
  FirmwareReport report;
  // Released when this returns, as the firmware source releases it.
  const platform::FirmwareWindow window = platform::MapFirmwareWindow();
  report.mapped = !window.empty();
  report.match = sources::FindFirmwareText(window.data(), window.size());
  return report;
}

template <typename ReadSource>
identifiers::SourceBytes Read(ReadSource readSource) {
  ByteString output;
  if (!readSource(output)) return std::nullopt;
  return output;
}

}  // namespace

identifiers::SourceBytes ChosenAddress(const platform::AdapterList& listing,
                                       const sources::AdapterVerdicts& verdicts) {
  if (!verdicts.chosen) return std::nullopt;
  const sources::AdapterAddress& address = listing.records[*verdicts.chosen].address;
  return ByteString(address.begin(), address.end());
}

std::uint32_t SerialFromSourceBytes(const ByteString& bytes) {
  std::uint32_t serial = 0;
  for (std::size_t i = 0; i < kSerialBytes && i < bytes.size(); ++i) {
    serial |= static_cast<std::uint32_t>(bytes[i]) << (kBitsPerByte * i);
  }
  return serial;
}

ExplainReport ExplainThisMachine() {
  ExplainReport report;
  report.adapters = ExplainAdapters();
  report.volumeSerial = Read(sources::ReadVolumeSerial);
  report.processorSignature = Read(sources::ReadProcessorSignature);
  report.firmware = ExplainFirmware();
  if (report.firmware.match) {
    const std::string& text = report.firmware.match->text;
    report.firmwareSignature = ByteString(text.begin(), text.end());
  } else {
    report.firmwareSignature = ByteString{};  // the firmware source always answers true
  }
  // The one read of the store: it may draw a value and write it, as one construction
  // of the identifiers does, and the current identifier is composed from its answer.
  report.store = sources::ResolveStoredRandomId();
  // The file is named where it lies, which a 32-bit process on 64-bit Windows opens by
  // its redirected name: a support engineer who reads the report finds it there, and
  // both architectures' reports name one file.
  if (!report.store.filePath.empty()) {
    report.store.filePath = sources::LocateStoreFile().value_or(report.store.filePath);
  }
  report.settingsTag = sources::ReadSettingsTag();

  const AdapterReport& adapters = report.adapters;
  report.oldKey =
      identifiers::ChooseMachineKey(adapters.chosenWithoutFilterList, report.volumeSerial);
  report.newKey = identifiers::ChooseMachineKey(adapters.chosenWithFilterList, report.volumeSerial);
  report.nodmarkOld =
      identifiers::ComposeOldIdentifier(adapters.chosenWithoutFilterList, report.volumeSerial);
  report.nodmarkNew = identifiers::ComposeNewIdentifier(
      adapters.chosenWithFilterList, report.volumeSerial, report.store.value, report.settingsTag);
  report.digestParts =
      identifiers::ComposeDigestParts(adapters.chosenWithFilterList, report.volumeSerial,
                                      report.processorSignature, report.firmwareSignature);
  report.digestHexData = report.digestParts.HexData();
  report.nodmarkComplicate = identifiers::DigestIdentifierText(report.digestHexData);
  return report;
}

}  // namespace nodmark::tools

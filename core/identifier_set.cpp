#include "core/identifier_set.h"

#include <cstdint>

#include "core/byte_string.h"
#include "core/digest_text.h"
#include "core/hex_text.h"
#include "sources/machine_sources.h"

namespace nodmark::core {
namespace {

constexpr std::uint8_t kFallbackByte = 0xFF;
constexpr std::size_t kFallbackLength = 8;

// What the legacy recipe appends after an address or a serial so both forms fill
// eight bytes; the serial's tail ends in 01 to tell the two apart.
constexpr std::uint8_t kAddressTail[] = {0x00, 0x00};
constexpr std::uint8_t kSerialTail[] = {0x00, 0x01};

void Append(ByteString& bytes, const std::uint8_t* tail, std::size_t count) {
  bytes.insert(bytes.end(), tail, tail + count);
}

// Fills `bytes` with the address of the first acceptable adapter, else the volume
// serial, else eight 0xFF bytes, and tells which of the three it took.
enum class MachineKey { kAdapter, kVolume, kNeither };

MachineKey ReadMachineKey(ByteString& bytes, std::uint8_t adapterMode) {
  if (sources::ReadAdapterAddresses(bytes, adapterMode)) return MachineKey::kAdapter;
  if (sources::ReadVolumeSerial(bytes)) return MachineKey::kVolume;
  bytes.assign(kFallbackLength, kFallbackByte);
  return MachineKey::kNeither;
}

}  // namespace

IdentifierSet::IdentifierSet()
    : id_old(BuildOldIdentifier()),
      id_new(BuildNewIdentifier()),
      id_complicate(BuildComplicateIdentifier()) {}

std::string IdentifierSet::BuildOldIdentifier() {
  ByteString sourceBytes;
  switch (ReadMachineKey(sourceBytes, sources::kFilterListOff)) {
    case MachineKey::kAdapter:
      Append(sourceBytes, kAddressTail, sizeof kAddressTail);
      break;
    case MachineKey::kVolume:
      Append(sourceBytes, kSerialTail, sizeof kSerialTail);
      break;
    case MachineKey::kNeither:
      break;
  }
  std::string idText;
  AppendHexBytes(idText, sourceBytes);
  return idText;
}

std::string IdentifierSet::BuildNewIdentifier() {
  ByteString sourceBytes;
  ReadMachineKey(sourceBytes, sources::kFilterListOn);
  std::string idText;
  AppendHexBytes(idText, sourceBytes);
  idText += sources::ReadStoredRandomId();
  idText += sources::ReadSettingsTag();
  return idText;
}

std::string IdentifierSet::BuildComplicateIdentifier() {
  using ByteSource = bool (*)(ByteString&);
  static constexpr ByteSource kDigestSources[] = {
      [](ByteString& out) { return sources::ReadAdapterAddresses(out, sources::kFilterListOn); },
      sources::ReadVolumeSerial,
      sources::ReadProcessorSignature,
      sources::ReadFirmwareSignature,
  };

  std::string hexData;
  ByteString sourceBytes;
  for (ByteSource readSource : kDigestSources) {
    sourceBytes.clear();
    // A source that answers false contributes nothing, whatever it left behind.
    if (readSource(sourceBytes)) AppendHexBytes(hexData, sourceBytes);
  }
  return DigestIdentifierText(hexData);
}

}  // namespace nodmark::core

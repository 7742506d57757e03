#include "identifiers/identifier_recipes.h"

#include <cstdint>
#include <iterator>

#include "core/hex_text.h"

namespace nodmark::identifiers {
namespace {

constexpr std::uint8_t kFallbackByte = 0xFF;
constexpr std::size_t kFallbackLength = 8;

// What the legacy recipe appends after an address or a serial so both forms fill
// eight bytes; the serial's tail ends in 01 to tell the two apart.
constexpr std::uint8_t kAddressTail[] = {0x00, 0x00};
constexpr std::uint8_t kSerialTail[] = {0x00, 0x01};

// The key's bytes, or the fallback bytes when there is no key.
ByteString KeyBytes(const SourceBytes& adapter, const SourceBytes& volume) {
  switch (ChooseMachineKey(adapter, volume)) {
    case MachineKey::kAdapter:
      return *adapter;
    case MachineKey::kVolume:
      return *volume;
    case MachineKey::kNeither:
      break;
  }
  return ByteString(kFallbackLength, kFallbackByte);
}

std::string HexOf(const SourceBytes& bytes) {
  std::string text;
  if (bytes) core::AppendHexBytes(text, *bytes);
  return text;
}

}  // namespace

MachineKey ChooseMachineKey(const SourceBytes& adapter, const SourceBytes& volume) {
  if (adapter) return MachineKey::kAdapter;
  if (volume) return MachineKey::kVolume;
  return MachineKey::kNeither;
}

std::string ComposeOldIdentifier(const SourceBytes& adapter, const SourceBytes& volume) {
  ByteString sourceBytes = KeyBytes(adapter, volume);
  switch (ChooseMachineKey(adapter, volume)) {
    case MachineKey::kAdapter:
      sourceBytes.insert(sourceBytes.end(), std::begin(kAddressTail), std::end(kAddressTail));
      break;
    case MachineKey::kVolume:
      sourceBytes.insert(sourceBytes.end(), std::begin(kSerialTail), std::end(kSerialTail));
      break;
    case MachineKey::kNeither:
      break;
  }
  std::string idText;
  core::AppendHexBytes(idText, sourceBytes);
  return idText;
}

std::string ComposeNewIdentifier(const SourceBytes& adapter, const SourceBytes& volume,
                                 std::string_view randomId, std::string_view tag) {
  std::string idText;
  core::AppendHexBytes(idText, KeyBytes(adapter, volume));
  idText += randomId;
  idText += tag;
  return idText;
}

std::string DigestParts::HexData() const { return adapter + volume + processor + firmware; }

DigestParts ComposeDigestParts(const SourceBytes& adapter, const SourceBytes& volume,
                               const SourceBytes& processorSignature,
                               const SourceBytes& firmwareSignature) {
  return {HexOf(adapter), HexOf(volume), HexOf(processorSignature), HexOf(firmwareSignature)};
}

}  // namespace nodmark::identifiers

#include "identifiers/identifier_set.h"

#include <cstdint>
#include <optional>

#include "core/byte_string.h"
#include "identifiers/digest_text.h"
#include "identifiers/identifier_recipes.h"
#include "sources/machine_sources.h"

namespace nodmark::identifiers {
namespace {

// The bytes of a byte source that answered true; nullopt, whatever it left in its
// output, when it answered false.
template <typename ReadSource>
SourceBytes Read(ReadSource readSource) {
  ByteString output;
  if (!readSource(output)) return std::nullopt;
  return output;
}

SourceBytes ReadAdapter(std::uint8_t mode) {
  return Read([mode](ByteString& output) { return sources::ReadAdapterAddresses(output, mode); });
}

SourceBytes ReadVolume() { return Read(sources::ReadVolumeSerial); }

}  // namespace

IdentifierSet::IdentifierSet()
    : id_old(BuildOldIdentifier()),
      id_new(BuildNewIdentifier()),
      id_complicate(BuildComplicateIdentifier()) {}

// The legacy and current recipes read the volume only when no adapter qualifies.
std::string IdentifierSet::BuildOldIdentifier() {
  const SourceBytes adapter = ReadAdapter(sources::kFilterListOff);
  const SourceBytes volume = adapter ? std::nullopt : ReadVolume();
  return ComposeOldIdentifier(adapter, volume);
}

std::string IdentifierSet::BuildNewIdentifier() {
  const SourceBytes adapter = ReadAdapter(sources::kFilterListOn);
  const SourceBytes volume = adapter ? std::nullopt : ReadVolume();
  // Read in this order, after the key: the store may be created here.
  const std::string randomId = sources::ReadStoredRandomId();
  const std::string tag = sources::ReadSettingsTag();
  return ComposeNewIdentifier(adapter, volume, randomId, tag);
}

std::string IdentifierSet::BuildComplicateIdentifier() {
  const SourceBytes adapter = ReadAdapter(sources::kFilterListOn);
  const SourceBytes volume = ReadVolume();
  const SourceBytes processor = Read(sources::ReadProcessorSignature);
  const SourceBytes firmware = Read(sources::ReadFirmwareSignature);
  return DigestIdentifierText(ComposeDigestParts(adapter, volume, processor, firmware).HexData());
}

}  // namespace nodmark::identifiers

#ifndef NODMARK_IDENTIFIERS_IDENTIFIER_RECIPES_H_
#define NODMARK_IDENTIFIERS_IDENTIFIER_RECIPES_H_

#include <optional>
#include <string>
#include <string_view>

#include "core/byte_string.h"

// The three identifier recipes as pure functions over what the machine sources gave,
// so that IdentifierSet and a tool that explains an identifier compose it from the
// same code. None of them reads the machine.
namespace nodmark::identifiers {

// What a byte source gave: its bytes when it answered true, nullopt when it answered
// false (whatever it may have left in its output is not part of it).
using SourceBytes = std::optional<ByteString>;

// What the legacy and current recipes key on: the adapter address when there is one,
// else the volume serial, else neither (the fallback bytes).
enum class MachineKey { kAdapter, kVolume, kNeither };

// `volume` is consulted only when `adapter` is nullopt, so a caller need not read the
// volume when an adapter was chosen.
MachineKey ChooseMachineKey(const SourceBytes& adapter, const SourceBytes& volume);

// The legacy identifier: the key's bytes with their tail (00 00 after an address,
// 00 01 after a serial) or eight 0xFF bytes, as hex text; 16 characters for the
// sources' six-byte results.
std::string ComposeOldIdentifier(const SourceBytes& adapter, const SourceBytes& volume);

// The current identifier: the key's bytes (no tail) or eight 0xFF bytes as hex text,
// then `randomId` and `tag` unchanged.
std::string ComposeNewIdentifier(const SourceBytes& adapter, const SourceBytes& volume,
                                 std::string_view randomId, std::string_view tag);

// The hex text each input of the digest-based identifier contributes: every byte as
// two hex digits, text sources included; a source that answered false contributes
// nothing.
struct DigestParts {
  std::string adapter;
  std::string volume;
  std::string processor;
  std::string firmware;

  // The four parts joined in this order: the text framed by the markers and hashed.
  std::string HexData() const;
};

DigestParts ComposeDigestParts(const SourceBytes& adapter, const SourceBytes& volume,
                               const SourceBytes& processorSignature,
                               const SourceBytes& firmwareSignature);

}  // namespace nodmark::identifiers

#endif  // NODMARK_IDENTIFIERS_IDENTIFIER_RECIPES_H_

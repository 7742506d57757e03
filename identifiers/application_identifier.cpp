#include "identifiers/application_identifier.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/hex_text.h"
#include "core/hmac_sha256.h"

namespace nodmark::identifiers {
namespace {

// 128 bits: as many as the digest-based identifier carries, and too many to guess.
constexpr std::size_t kApplicationIdentifierBytes = 16;

// Update takes a 32-bit count; an application name may, in principle, be longer.
constexpr std::size_t kLargestPiece = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::string ApplicationIdentifier(const std::string& identifier,
                                  const std::string& applicationUtf8) {
  // The identifiers are at most a few dozen characters: well inside a 32-bit count.
  core::HmacSha256Context mac(identifier.data(), static_cast<std::uint32_t>(identifier.size()));
  for (std::size_t fed = 0; fed < applicationUtf8.size();) {
    const std::size_t piece = std::min(applicationUtf8.size() - fed, kLargestPiece);
    mac.Update(applicationUtf8.data() + fed, static_cast<std::uint32_t>(piece));
    fed += piece;
  }
  std::uint8_t full[core::HmacSha256Context::kMacSize];
  mac.Final(full);
  std::string text;
  core::AppendHexBytes(text, full, kApplicationIdentifierBytes);
  return text;
}

}  // namespace nodmark::identifiers

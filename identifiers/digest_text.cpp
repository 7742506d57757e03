#include "identifiers/digest_text.h"

#include <cstdint>

#include "core/hex_text.h"
#include "core/md5.h"

namespace nodmark::identifiers {
namespace {

void Feed(core::Md5Context& md5, std::string_view piece) {
  md5.Update(piece.data(), static_cast<std::uint32_t>(piece.size()));
}

}  // namespace

std::string DigestIdentifierText(std::string_view hexData) {
  // The three pieces go into the digest one after the other: the digest depends only
  // on their concatenation, and no message buffer is needed, so there is no
  // allocation failure after which the raw hex data could leak out undigested.
  core::Md5Context md5;
  Feed(md5, kDigestStartMarker);
  Feed(md5, hexData);
  Feed(md5, kDigestEndMarker);

  std::uint8_t digest[core::Md5Context::kDigestSize] = {};
  md5.Final(digest);

  std::string text;
  core::AppendHexBytes(text, digest, sizeof digest);
  return text;
}

}  // namespace nodmark::identifiers

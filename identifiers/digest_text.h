#ifndef NODMARK_IDENTIFIERS_DIGEST_TEXT_H_
#define NODMARK_IDENTIFIERS_DIGEST_TEXT_H_

#include <string>
#include <string_view>

namespace nodmark::identifiers {

// The markers that frame the hex data of the digest-based identifier.
inline constexpr std::string_view kDigestStartMarker = "VELTRA_GENERAL_NODMARK_START";
inline constexpr std::string_view kDigestEndMarker = "VELTRA_GENERAL_NODMARK_END";

// The MD5 digest of start marker + hexData + end marker (no separators, no
// terminator) as 32 upper-case hexadecimal characters. Never fails.
std::string DigestIdentifierText(std::string_view hexData);

}  // namespace nodmark::identifiers

#endif  // NODMARK_IDENTIFIERS_DIGEST_TEXT_H_

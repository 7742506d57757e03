// Md5Context and Sha1Context against OpenSSL over arbitrary messages fed in arbitrary
// pieces. Input: one byte n, then n % 8 cut points of two bytes each (little-endian,
// reduced modulo the message size plus one and sorted), then the message.
#include <openssl/evp.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/md5.h"
#include "core/sha1.h"
#include "fuzz/fuzz_check.h"

namespace nodmark::fuzz {
namespace {

constexpr std::size_t kMaxCuts = 8;
constexpr std::size_t kCutBytes = 2;
constexpr unsigned kBitsPerByte = 8;

std::vector<std::uint8_t> ReferenceDigest(const EVP_MD* md, const std::uint8_t* message,
                                          std::size_t size) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestSize = 0;
  Require(EVP_Digest(message, size, digest, &digestSize, md, nullptr) == 1, "OpenSSL digests");
  return std::vector<std::uint8_t>(digest, digest + digestSize);
}

// Feeds the message in the pieces the cuts make; a cut may repeat, giving an empty piece.
// The context is used twice: Final must leave it ready for the next message.
template <class Context>
void CheckAgainstReference(const EVP_MD* md, const std::uint8_t* message, std::size_t size,
                           const std::vector<std::size_t>& cuts, const char* property) {
  const std::vector<std::uint8_t> expected = ReferenceDigest(md, message, size);
  Context context;
  for (int pass = 0; pass < 2; ++pass) {
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
      context.Update(message + start, static_cast<std::uint32_t>(cut - start));
      start = cut;
    }
    context.Update(message + start, static_cast<std::uint32_t>(size - start));
    std::vector<std::uint8_t> digest(Context::kDigestSize);
    context.Final(digest.data());
    Require(digest == expected, property);
  }
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  if (size == 0) return 0;
  const std::size_t cutCount = data[0] % fuzz::kMaxCuts;
  const std::size_t header = 1 + cutCount * fuzz::kCutBytes;
  if (size < header) return 0;
  // A copy of its own, so that a read before or past the message is out of bounds.
  const std::vector<std::uint8_t> copy(data + header, data + size);
  const std::uint8_t* message = copy.data();
  const std::size_t messageSize = copy.size();

  std::vector<std::size_t> cuts(cutCount);
  for (std::size_t i = 0; i < cutCount; ++i) {
    const std::uint8_t* at = data + 1 + i * fuzz::kCutBytes;
    const std::size_t raw = at[0] | static_cast<std::size_t>(at[1]) << fuzz::kBitsPerByte;
    cuts[i] = raw % (messageSize + 1);
  }
  std::sort(cuts.begin(), cuts.end());

  fuzz::CheckAgainstReference<core::Md5Context>(EVP_md5(), message, messageSize, cuts,
                                                "MD5 equals OpenSSL's, however the message is cut");
  fuzz::CheckAgainstReference<core::Sha1Context>(
      EVP_sha1(), message, messageSize, cuts, "SHA-1 equals OpenSSL's, however the message is cut");
  return 0;
}

// Md5Context, Sha1Context, Sha256Context and HmacSha256Context against OpenSSL over
// arbitrary messages fed in arbitrary pieces. Input: one byte n, then n % 8 cut points of
// two bytes each (little-endian, reduced modulo the message size plus one and sorted),
// then the message. The HMAC's key is the message's last (n / 8) * 5 bytes (all of it when
// it is shorter), so that keys up to 155 bytes, past the block that is hashed, come up.
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/hmac_sha256.h"
#include "core/md5.h"
#include "core/sha1.h"
#include "core/sha256.h"
#include "fuzz/fuzz_check.h"

namespace nodmark::fuzz {
namespace {

constexpr std::size_t kMaxCuts = 8;
constexpr std::size_t kCutBytes = 2;
constexpr unsigned kBitsPerByte = 8;
constexpr std::size_t kKeyBytesPerStep = 5;

// A key: its bytes (null when empty) and its size.
struct Key {
  const std::uint8_t* bytes;
  std::size_t size;
};

// OpenSSL's digest of the message, or its HMAC when `key` is given.
std::vector<std::uint8_t> Reference(const EVP_MD* md, const Key* key, const std::uint8_t* message,
                                    std::size_t size) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestSize = 0;
  if (key != nullptr) {
    // OpenSSL refuses a null key or message even when it is empty.
    static const std::uint8_t kNothing = 0;
    Require(HMAC(md, key->size != 0 ? key->bytes : &kNothing, static_cast<int>(key->size),
                 size != 0 ? message : &kNothing, size, digest, &digestSize) != nullptr,
            "OpenSSL computes the HMAC");
  } else {
    Require(EVP_Digest(message, size, digest, &digestSize, md, nullptr) == 1, "OpenSSL digests");
  }
  return std::vector<std::uint8_t>(digest, digest + digestSize);
}

// A fresh digest context; an HMAC context keyed with `key`.
template <class Context>
Context MakeContext(const Key* /*key*/) {
  return Context();
}

template <>
core::HmacSha256Context MakeContext<core::HmacSha256Context>(const Key* key) {
  return core::HmacSha256Context(key->bytes, static_cast<std::uint32_t>(key->size));
}

// Feeds the message in the pieces the cuts make; a cut may repeat, giving an empty piece.
// The context is used twice: Final must leave it ready for the next message.
template <class Context>
void CheckAgainstReference(const EVP_MD* md, const Key* key, const std::uint8_t* message,
                           std::size_t size, const std::vector<std::size_t>& cuts,
                           const char* property) {
  const std::vector<std::uint8_t> expected = Reference(md, key, message, size);
  Context context = MakeContext<Context>(key);
  for (int pass = 0; pass < 2; ++pass) {
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
      context.Update(message + start, static_cast<std::uint32_t>(cut - start));
      start = cut;
    }
    context.Update(message + start, static_cast<std::uint32_t>(size - start));
    std::vector<std::uint8_t> digest(expected.size());
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

  fuzz::CheckAgainstReference<core::Md5Context>(EVP_md5(), nullptr, message, messageSize, cuts,
                                                "MD5 equals OpenSSL's, however the message is cut");
  fuzz::CheckAgainstReference<core::Sha1Context>(
      EVP_sha1(), nullptr, message, messageSize, cuts,
      "SHA-1 equals OpenSSL's, however the message is cut");
  fuzz::CheckAgainstReference<core::Sha256Context>(
      EVP_sha256(), nullptr, message, messageSize, cuts,
      "SHA-256 equals OpenSSL's, however the message is cut");
  const std::size_t keySize =
      std::min(messageSize, data[0] / fuzz::kMaxCuts * fuzz::kKeyBytesPerStep);
  const fuzz::Key key{message + messageSize - keySize, keySize};
  fuzz::CheckAgainstReference<core::HmacSha256Context>(
      EVP_sha256(), &key, message, messageSize, cuts,
      "HMAC-SHA256 equals OpenSSL's, whatever the key and however the message is cut");
  return 0;
}

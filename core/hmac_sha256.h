// HMAC-SHA256 (RFC 2104 over FIPS 180-2) as a small incremental context.
#ifndef NODMARK_CORE_HMAC_SHA256_H_
#define NODMARK_CORE_HMAC_SHA256_H_

#include <cstddef>
#include <cstdint>

#include "core/sha256.h"

namespace nodmark::core {

// Computes the HMAC-SHA256 of the bytes fed between construction (or Final) and Final,
// under the key given at construction. The result depends only on the key and the
// concatenation of the bytes fed. Holds a copy of the key's padded block, no pointers
// and no resources; one thread at a time.
class HmacSha256Context {
 public:
  static constexpr std::size_t kMacSize = Sha256Context::kDigestSize;

  // Keyed with keySize bytes at key (null when keySize is 0); a key longer than a block
  // is hashed first, as the standard says. Ready for a message.
  HmacSha256Context(const void* key, std::uint32_t keySize);
  ~HmacSha256Context();

  HmacSha256Context(const HmacSha256Context&) = delete;
  HmacSha256Context& operator=(const HmacSha256Context&) = delete;

  // Appends byteCount bytes starting at bytesIn; with 0, bytesIn may be null.
  void Update(const void* bytesIn, std::uint32_t byteCount);

  // Writes the kMacSize bytes of the MAC to macOut, then starts a new message under the
  // same key.
  void Final(std::uint8_t* macOut);

 private:
  void Start();

  std::uint8_t keyBlock_[Sha256Context::kBlockSize];  // the key, zero-padded to a block
  Sha256Context inner_;
};

}  // namespace nodmark::core

#endif  // NODMARK_CORE_HMAC_SHA256_H_

// HMAC (RFC 2104) with SHA-256: H((K ^ opad) || H((K ^ ipad) || message)).
#include "core/hmac_sha256.h"

#include <cstring>

namespace nodmark::core {
namespace {

constexpr std::size_t kBlockSize = Sha256Context::kBlockSize;
constexpr std::uint8_t kInnerPad = 0x36;
constexpr std::uint8_t kOuterPad = 0x5C;

// Feeds the key block with every byte combined with `pad`.
void FeedPaddedKey(Sha256Context& context, const std::uint8_t* keyBlock, std::uint8_t pad) {
  std::uint8_t padded[kBlockSize];
  for (std::size_t i = 0; i < kBlockSize; ++i) padded[i] = keyBlock[i] ^ pad;
  context.Update(padded, kBlockSize);
}

}  // namespace

HmacSha256Context::HmacSha256Context(const void* key, std::uint32_t keySize) : keyBlock_{} {
  if (keySize > kBlockSize) {
    Sha256Context keyDigest;
    keyDigest.Update(key, keySize);
    keyDigest.Final(keyBlock_);
  } else if (keySize != 0) {
    std::memcpy(keyBlock_, key, keySize);
  }
  Start();
}

HmacSha256Context::~HmacSha256Context() {
  // The key is an identifier of the machine; leave no copy of it behind in freed memory.
  volatile std::uint8_t* key = keyBlock_;
  for (std::size_t i = 0; i < kBlockSize; ++i) key[i] = 0;
}

void HmacSha256Context::Start() {
  inner_.Init();
  FeedPaddedKey(inner_, keyBlock_, kInnerPad);
}

void HmacSha256Context::Update(const void* bytesIn, std::uint32_t byteCount) {
  inner_.Update(bytesIn, byteCount);
}

void HmacSha256Context::Final(std::uint8_t* macOut) {
  std::uint8_t innerDigest[Sha256Context::kDigestSize];
  inner_.Final(innerDigest);
  Sha256Context outer;
  FeedPaddedKey(outer, keyBlock_, kOuterPad);
  outer.Update(innerDigest, sizeof(innerDigest));
  outer.Final(macOut);
  Start();
}

}  // namespace nodmark::core

// SHA-256 (FIPS 180-2): block function and buffering; the completion is SHA-1's.
#include "core/sha256.h"

#include <cstring>

#include "core/big_endian.h"
#include "core/block_feed.h"

namespace nodmark::core {
namespace {

constexpr std::size_t kBlockSize = Sha256Context::kBlockSize;
constexpr std::size_t kWordSize = 4;
constexpr std::size_t kWordCount = kBlockSize / kWordSize;
constexpr std::size_t kStepCount = 64;

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr std::uint32_t kInitialState[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                            0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::uint32_t kStepConstants[kStepCount] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2};

inline std::uint32_t Rotr(std::uint32_t x, int s) { return (x >> s) | (x << (32 - s)); }

inline std::uint32_t BigSigma0(std::uint32_t x) { return Rotr(x, 2) ^ Rotr(x, 13) ^ Rotr(x, 22); }
inline std::uint32_t BigSigma1(std::uint32_t x) { return Rotr(x, 6) ^ Rotr(x, 11) ^ Rotr(x, 25); }
inline std::uint32_t SmallSigma0(std::uint32_t x) { return Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3); }
inline std::uint32_t SmallSigma1(std::uint32_t x) { return Rotr(x, 17) ^ Rotr(x, 19) ^ (x >> 10); }

// Runs the 64 steps over one block and adds the result into state.
void ProcessBlock(std::uint32_t* state, const std::uint8_t* block) {
  std::uint32_t w[kStepCount];
  for (std::size_t t = 0; t < kWordCount; ++t) w[t] = LoadBe32(block + kWordSize * t);
  for (std::size_t t = kWordCount; t < kStepCount; ++t) {
    w[t] = SmallSigma1(w[t - 2]) + w[t - 7] + SmallSigma0(w[t - 15]) + w[t - 16];
  }

  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
  for (std::size_t t = 0; t < kStepCount; ++t) {
    const std::uint32_t choice = g ^ (e & (f ^ g));
    const std::uint32_t majority = (a & b) | (c & (a | b));
    const std::uint32_t t1 = h + BigSigma1(e) + choice + kStepConstants[t] + w[t];
    const std::uint32_t t2 = BigSigma0(a) + majority;
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
  state[5] += f;
  state[6] += g;
  state[7] += h;
}

}  // namespace

Sha256Context::Sha256Context() { Init(); }

void Sha256Context::Init() {
  std::memcpy(state_, kInitialState, sizeof(state_));
  byteCount_[0] = 0;
  byteCount_[1] = 0;
  std::memset(buffer_, 0, sizeof(buffer_));
}

void Sha256Context::Update(const void* bytesIn, std::uint32_t byteCount) {
  if (byteCount == 0) return;
  FeedBlocks(buffer_, CountBytes(byteCount_, byteCount), static_cast<const std::uint8_t*>(bytesIn),
             byteCount, [this](const std::uint8_t* block) { ProcessBlock(state_, block); });
}

void Sha256Context::Final(std::uint8_t* digestOut) {
  CompleteBigEndianMessage(
      byteCount_, [this](const std::uint8_t* bytes, std::uint32_t count) { Update(bytes, count); });
  for (std::size_t i = 0; i < kDigestSize / kWordSize; ++i) {
    StoreBe32(digestOut + kWordSize * i, state_[i]);
  }
  Init();
}

}  // namespace nodmark::core

// SHA-1 (FIPS 180-1): block function, buffering and message completion.
#include "core/sha1.h"

#include <cstring>

#include "core/big_endian.h"
#include "core/block_feed.h"

namespace nodmark::core {
namespace {

constexpr std::size_t kBlockSize = Sha1Context::kBlockSize;
constexpr std::size_t kWordSize = 4;
constexpr std::size_t kWordCount = kBlockSize / kWordSize;
constexpr std::size_t kWindowMask = kWordCount - 1;  // schedule window index = t mod 16

constexpr std::uint32_t kInitH0 = 0x67452301;
constexpr std::uint32_t kInitH1 = 0xEFCDAB89;
constexpr std::uint32_t kInitH2 = 0x98BADCFE;
constexpr std::uint32_t kInitH3 = 0x10325476;
constexpr std::uint32_t kInitH4 = 0xC3D2E1F0;

// Step constants for steps 0-19, 20-39, 40-59 and 60-79.
constexpr std::uint32_t kK0 = 0x5A827999;
constexpr std::uint32_t kK1 = 0x6ED9EBA1;
constexpr std::uint32_t kK2 = 0x8F1BBCDC;
constexpr std::uint32_t kK3 = 0xCA62C1D6;

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Schedule word t (16 <= t < 80), kept in a rolling window of the last 16 words:
// W[t] = (W[t-3] ^ W[t-8] ^ W[t-14] ^ W[t-16]) <<< 1. Slot t % 16 holds W[t-16] on entry.
inline std::uint32_t NextWord(std::uint32_t* w, std::size_t t) {
  const std::uint32_t next = Rotl(w[(t - 3) & kWindowMask] ^ w[(t - 8) & kWindowMask] ^
                                      w[(t - 14) & kWindowMask] ^ w[t & kWindowMask],
                                  1);
  w[t & kWindowMask] = next;
  return next;
}

// One step, with the variables renamed instead of moved: on return e holds the new A and b the
// rotated old B; the caller passes the variables shifted by one place for the next step.
inline void StepCh(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                   std::uint32_t& e, std::uint32_t w, std::uint32_t k) {
  e += w + k;
  e += d ^ (b & (c ^ d));
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

inline void StepParity(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                       std::uint32_t& e, std::uint32_t w, std::uint32_t k) {
  e += w + k;
  e += b ^ c ^ d;
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

// Majority as a sum of two terms that share no bit: (b & c) + (d & (b ^ c)).
inline void StepMaj(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                    std::uint32_t& e, std::uint32_t w, std::uint32_t k) {
  e += w + k;
  e += d & (b ^ c);
  e += b & c;
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

// Runs the 80 steps over one block and adds the result into state.
void ProcessBlock(std::uint32_t* state, const std::uint8_t* block) {
  std::uint32_t w[kWordCount];
  for (std::size_t i = 0; i < kWordCount; ++i) w[i] = LoadBe32(block + kWordSize * i);

  std::uint32_t a = state[0];
  std::uint32_t b = state[1];
  std::uint32_t c = state[2];
  std::uint32_t d = state[3];
  std::uint32_t e = state[4];

  // Steps 0 to 19.
  StepCh(a, b, c, d, e, w[0], kK0);
  StepCh(e, a, b, c, d, w[1], kK0);
  StepCh(d, e, a, b, c, w[2], kK0);
  StepCh(c, d, e, a, b, w[3], kK0);
  StepCh(b, c, d, e, a, w[4], kK0);
  StepCh(a, b, c, d, e, w[5], kK0);
  StepCh(e, a, b, c, d, w[6], kK0);
  StepCh(d, e, a, b, c, w[7], kK0);
  StepCh(c, d, e, a, b, w[8], kK0);
  StepCh(b, c, d, e, a, w[9], kK0);
  StepCh(a, b, c, d, e, w[10], kK0);
  StepCh(e, a, b, c, d, w[11], kK0);
  StepCh(d, e, a, b, c, w[12], kK0);
  StepCh(c, d, e, a, b, w[13], kK0);
  StepCh(b, c, d, e, a, w[14], kK0);
  StepCh(a, b, c, d, e, w[15], kK0);
  StepCh(e, a, b, c, d, NextWord(w, 16), kK0);
  StepCh(d, e, a, b, c, NextWord(w, 17), kK0);
  StepCh(c, d, e, a, b, NextWord(w, 18), kK0);
  StepCh(b, c, d, e, a, NextWord(w, 19), kK0);
  // Steps 20 to 39.
  StepParity(a, b, c, d, e, NextWord(w, 20), kK1);
  StepParity(e, a, b, c, d, NextWord(w, 21), kK1);
  StepParity(d, e, a, b, c, NextWord(w, 22), kK1);
  StepParity(c, d, e, a, b, NextWord(w, 23), kK1);
  StepParity(b, c, d, e, a, NextWord(w, 24), kK1);
  StepParity(a, b, c, d, e, NextWord(w, 25), kK1);
  StepParity(e, a, b, c, d, NextWord(w, 26), kK1);
  StepParity(d, e, a, b, c, NextWord(w, 27), kK1);
  StepParity(c, d, e, a, b, NextWord(w, 28), kK1);
  StepParity(b, c, d, e, a, NextWord(w, 29), kK1);
  StepParity(a, b, c, d, e, NextWord(w, 30), kK1);
  StepParity(e, a, b, c, d, NextWord(w, 31), kK1);
  StepParity(d, e, a, b, c, NextWord(w, 32), kK1);
  StepParity(c, d, e, a, b, NextWord(w, 33), kK1);
  StepParity(b, c, d, e, a, NextWord(w, 34), kK1);
  StepParity(a, b, c, d, e, NextWord(w, 35), kK1);
  StepParity(e, a, b, c, d, NextWord(w, 36), kK1);
  StepParity(d, e, a, b, c, NextWord(w, 37), kK1);
  StepParity(c, d, e, a, b, NextWord(w, 38), kK1);
  StepParity(b, c, d, e, a, NextWord(w, 39), kK1);
  // Steps 40 to 59.
  StepMaj(a, b, c, d, e, NextWord(w, 40), kK2);
  StepMaj(e, a, b, c, d, NextWord(w, 41), kK2);
  StepMaj(d, e, a, b, c, NextWord(w, 42), kK2);
  StepMaj(c, d, e, a, b, NextWord(w, 43), kK2);
  StepMaj(b, c, d, e, a, NextWord(w, 44), kK2);
  StepMaj(a, b, c, d, e, NextWord(w, 45), kK2);
  StepMaj(e, a, b, c, d, NextWord(w, 46), kK2);
  StepMaj(d, e, a, b, c, NextWord(w, 47), kK2);
  StepMaj(c, d, e, a, b, NextWord(w, 48), kK2);
  StepMaj(b, c, d, e, a, NextWord(w, 49), kK2);
  StepMaj(a, b, c, d, e, NextWord(w, 50), kK2);
  StepMaj(e, a, b, c, d, NextWord(w, 51), kK2);
  StepMaj(d, e, a, b, c, NextWord(w, 52), kK2);
  StepMaj(c, d, e, a, b, NextWord(w, 53), kK2);
  StepMaj(b, c, d, e, a, NextWord(w, 54), kK2);
  StepMaj(a, b, c, d, e, NextWord(w, 55), kK2);
  StepMaj(e, a, b, c, d, NextWord(w, 56), kK2);
  StepMaj(d, e, a, b, c, NextWord(w, 57), kK2);
  StepMaj(c, d, e, a, b, NextWord(w, 58), kK2);
  StepMaj(b, c, d, e, a, NextWord(w, 59), kK2);
  // Steps 60 to 79.
  StepParity(a, b, c, d, e, NextWord(w, 60), kK3);
  StepParity(e, a, b, c, d, NextWord(w, 61), kK3);
  StepParity(d, e, a, b, c, NextWord(w, 62), kK3);
  StepParity(c, d, e, a, b, NextWord(w, 63), kK3);
  StepParity(b, c, d, e, a, NextWord(w, 64), kK3);
  StepParity(a, b, c, d, e, NextWord(w, 65), kK3);
  StepParity(e, a, b, c, d, NextWord(w, 66), kK3);
  StepParity(d, e, a, b, c, NextWord(w, 67), kK3);
  StepParity(c, d, e, a, b, NextWord(w, 68), kK3);
  StepParity(b, c, d, e, a, NextWord(w, 69), kK3);
  StepParity(a, b, c, d, e, NextWord(w, 70), kK3);
  StepParity(e, a, b, c, d, NextWord(w, 71), kK3);
  StepParity(d, e, a, b, c, NextWord(w, 72), kK3);
  StepParity(c, d, e, a, b, NextWord(w, 73), kK3);
  StepParity(b, c, d, e, a, NextWord(w, 74), kK3);
  StepParity(a, b, c, d, e, NextWord(w, 75), kK3);
  StepParity(e, a, b, c, d, NextWord(w, 76), kK3);
  StepParity(d, e, a, b, c, NextWord(w, 77), kK3);
  StepParity(c, d, e, a, b, NextWord(w, 78), kK3);
  StepParity(b, c, d, e, a, NextWord(w, 79), kK3);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
}

}  // namespace

Sha1Context::Sha1Context() { Init(); }

void Sha1Context::Init() {
  state_[0] = kInitH0;
  state_[1] = kInitH1;
  state_[2] = kInitH2;
  state_[3] = kInitH3;
  state_[4] = kInitH4;
  byteCount_[0] = 0;
  byteCount_[1] = 0;
  std::memset(buffer_, 0, sizeof(buffer_));
}

void Sha1Context::Update(const void* bytesIn, std::uint32_t byteCount) {
  if (byteCount == 0) return;
  FeedBlocks(buffer_, CountBytes(byteCount_, byteCount), static_cast<const std::uint8_t*>(bytesIn),
             byteCount, [this](const std::uint8_t* block) { ProcessBlock(state_, block); });
}

void Sha1Context::Final(std::uint8_t* digestOut) {
  CompleteBigEndianMessage(
      byteCount_, [this](const std::uint8_t* bytes, std::uint32_t count) { Update(bytes, count); });
  for (std::size_t i = 0; i < Sha1Context::kDigestSize / kWordSize; ++i) {
    StoreBe32(digestOut + kWordSize * i, state_[i]);
  }
  Init();
}

}  // namespace nodmark::core

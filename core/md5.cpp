// MD5 (RFC 1321): block function, buffering and message completion.
#include "core/md5.h"

#include <cstring>

#include "core/block_feed.h"

namespace nodmark::core {
namespace {

constexpr std::size_t kBlockSize = Md5Context::kBlockSize;
constexpr std::size_t kWordSize = 4;
constexpr std::size_t kWordCount = kBlockSize / kWordSize;
constexpr std::size_t kLengthFieldSize = 8;
// A block whose fill reaches this offset has no room left for the length field.
constexpr std::size_t kLengthFieldOffset = kBlockSize - kLengthFieldSize;

constexpr std::uint32_t kInitA = 0x67452301;
constexpr std::uint32_t kInitB = 0xEFCDAB89;
constexpr std::uint32_t kInitC = 0x98BADCFE;
constexpr std::uint32_t kInitD = 0x10325476;

// Rotation amounts, four per round, repeating every four steps.
constexpr int kF0 = 7, kF1 = 12, kF2 = 17, kF3 = 22;
constexpr int kG0 = 5, kG1 = 9, kG2 = 14, kG3 = 20;
constexpr int kH0 = 4, kH1 = 11, kH2 = 16, kH3 = 23;
constexpr int kI0 = 6, kI1 = 10, kI2 = 15, kI3 = 21;

// Message completion: one 0x80 byte, then zeros. Final feeds a prefix of 1 to 64 bytes of it.
constexpr std::uint8_t kPadding[kBlockSize] = {0x80};

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Byte-wise little-endian access; compilers turn these into single loads and stores.
inline std::uint32_t LoadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The four step kinds: a = b + ((a + fn(b, c, d) + x + t) <<< s). The sums that do not
// depend on b come first so they can overlap with the previous step.
inline void StepF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, int s, std::uint32_t t) {
  a += x + t;
  a += d ^ (b & (c ^ d));
  a = b + Rotl(a, s);
}

// (b & d) | (c & ~d): the two terms share no bit, so they are added, and the c/d term does
// not wait for b.
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, int s, std::uint32_t t) {
  a += x + t;
  a += c & ~d;
  a += b & d;
  a = b + Rotl(a, s);
}

inline void StepH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, int s, std::uint32_t t) {
  a += x + t;
  a += b ^ c ^ d;
  a = b + Rotl(a, s);
}

inline void StepI(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, int s, std::uint32_t t) {
  a += x + t;
  a += c ^ (b | ~d);
  a = b + Rotl(a, s);
}

// Runs the 64 steps over one block and adds the result into state.
void ProcessBlock(std::uint32_t* state, const std::uint8_t* block) {
  std::uint32_t x[kWordCount];
  for (std::size_t i = 0; i < kWordCount; ++i) x[i] = LoadLe32(block + kWordSize * i);

  std::uint32_t a = state[0];
  std::uint32_t b = state[1];
  std::uint32_t c = state[2];
  std::uint32_t d = state[3];

  // The step constants are floor(2^32 * |sin(i)|) for steps i = 1..64.
  // Round 1.
  StepF(a, b, c, d, x[0], kF0, 0xd76aa478);
  StepF(d, a, b, c, x[1], kF1, 0xe8c7b756);
  StepF(c, d, a, b, x[2], kF2, 0x242070db);
  StepF(b, c, d, a, x[3], kF3, 0xc1bdceee);
  StepF(a, b, c, d, x[4], kF0, 0xf57c0faf);
  StepF(d, a, b, c, x[5], kF1, 0x4787c62a);
  StepF(c, d, a, b, x[6], kF2, 0xa8304613);
  StepF(b, c, d, a, x[7], kF3, 0xfd469501);
  StepF(a, b, c, d, x[8], kF0, 0x698098d8);
  StepF(d, a, b, c, x[9], kF1, 0x8b44f7af);
  StepF(c, d, a, b, x[10], kF2, 0xffff5bb1);
  StepF(b, c, d, a, x[11], kF3, 0x895cd7be);
  StepF(a, b, c, d, x[12], kF0, 0x6b901122);
  StepF(d, a, b, c, x[13], kF1, 0xfd987193);
  StepF(c, d, a, b, x[14], kF2, 0xa679438e);
  StepF(b, c, d, a, x[15], kF3, 0x49b40821);
  // Round 2.
  StepG(a, b, c, d, x[1], kG0, 0xf61e2562);
  StepG(d, a, b, c, x[6], kG1, 0xc040b340);
  StepG(c, d, a, b, x[11], kG2, 0x265e5a51);
  StepG(b, c, d, a, x[0], kG3, 0xe9b6c7aa);
  StepG(a, b, c, d, x[5], kG0, 0xd62f105d);
  StepG(d, a, b, c, x[10], kG1, 0x02441453);
  StepG(c, d, a, b, x[15], kG2, 0xd8a1e681);
  StepG(b, c, d, a, x[4], kG3, 0xe7d3fbc8);
  StepG(a, b, c, d, x[9], kG0, 0x21e1cde6);
  StepG(d, a, b, c, x[14], kG1, 0xc33707d6);
  StepG(c, d, a, b, x[3], kG2, 0xf4d50d87);
  StepG(b, c, d, a, x[8], kG3, 0x455a14ed);
  StepG(a, b, c, d, x[13], kG0, 0xa9e3e905);
  StepG(d, a, b, c, x[2], kG1, 0xfcefa3f8);
  StepG(c, d, a, b, x[7], kG2, 0x676f02d9);
  StepG(b, c, d, a, x[12], kG3, 0x8d2a4c8a);
  // Round 3.
  StepH(a, b, c, d, x[5], kH0, 0xfffa3942);
  StepH(d, a, b, c, x[8], kH1, 0x8771f681);
  StepH(c, d, a, b, x[11], kH2, 0x6d9d6122);
  StepH(b, c, d, a, x[14], kH3, 0xfde5380c);
  StepH(a, b, c, d, x[1], kH0, 0xa4beea44);
  StepH(d, a, b, c, x[4], kH1, 0x4bdecfa9);
  StepH(c, d, a, b, x[7], kH2, 0xf6bb4b60);
  StepH(b, c, d, a, x[10], kH3, 0xbebfbc70);
  StepH(a, b, c, d, x[13], kH0, 0x289b7ec6);
  StepH(d, a, b, c, x[0], kH1, 0xeaa127fa);
  StepH(c, d, a, b, x[3], kH2, 0xd4ef3085);
  StepH(b, c, d, a, x[6], kH3, 0x04881d05);
  StepH(a, b, c, d, x[9], kH0, 0xd9d4d039);
  StepH(d, a, b, c, x[12], kH1, 0xe6db99e5);
  StepH(c, d, a, b, x[15], kH2, 0x1fa27cf8);
  StepH(b, c, d, a, x[2], kH3, 0xc4ac5665);
  // Round 4.
  StepI(a, b, c, d, x[0], kI0, 0xf4292244);
  StepI(d, a, b, c, x[7], kI1, 0x432aff97);
  StepI(c, d, a, b, x[14], kI2, 0xab9423a7);
  StepI(b, c, d, a, x[5], kI3, 0xfc93a039);
  StepI(a, b, c, d, x[12], kI0, 0x655b59c3);
  StepI(d, a, b, c, x[3], kI1, 0x8f0ccc92);
  StepI(c, d, a, b, x[10], kI2, 0xffeff47d);
  StepI(b, c, d, a, x[1], kI3, 0x85845dd1);
  StepI(a, b, c, d, x[8], kI0, 0x6fa87e4f);
  StepI(d, a, b, c, x[15], kI1, 0xfe2ce6e0);
  StepI(c, d, a, b, x[6], kI2, 0xa3014314);
  StepI(b, c, d, a, x[13], kI3, 0x4e0811a1);
  StepI(a, b, c, d, x[4], kI0, 0xf7537e82);
  StepI(d, a, b, c, x[11], kI1, 0xbd3af235);
  StepI(c, d, a, b, x[2], kI2, 0x2ad7d2bb);
  StepI(b, c, d, a, x[9], kI3, 0xeb86d391);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;

  // The message words are copies of caller data; do not leave them on the stack. The volatile
  // stores keep the compiler from dropping the clear as dead.
  volatile std::uint32_t* wipe = x;
  for (std::size_t i = 0; i < kWordCount; ++i) wipe[i] = 0;
}

}  // namespace

Md5Context::Md5Context() { Init(); }

void Md5Context::Init() {
  state_[0] = kInitA;
  state_[1] = kInitB;
  state_[2] = kInitC;
  state_[3] = kInitD;
  bitCount_[0] = 0;
  bitCount_[1] = 0;
  std::memset(buffer_, 0, sizeof(buffer_));
}

void Md5Context::Update(const void* bytesIn, std::uint32_t byteCount) {
  if (byteCount == 0) return;
  const auto* input = static_cast<const std::uint8_t*>(bytesIn);

  const std::size_t position = (bitCount_[0] >> 3) % kBlockSize;

  // 64-bit bit count in two words: the low word takes byteCount * 8 mod 2^32 with carry, the
  // high word the bits shifted out of it.
  const std::uint32_t addedBits = byteCount << 3;
  bitCount_[0] += addedBits;
  if (bitCount_[0] < addedBits) ++bitCount_[1];
  bitCount_[1] += byteCount >> 29;

  FeedBlocks(buffer_, position, input, byteCount,
             [this](const std::uint8_t* block) { ProcessBlock(state_, block); });
}

void Md5Context::Final(std::uint8_t* digestOut) {
  // Length field: the bit count, low word first, each word least significant byte first.
  std::uint8_t lengthField[kLengthFieldSize];
  StoreLe32(lengthField, bitCount_[0]);
  StoreLe32(lengthField + kWordSize, bitCount_[1]);

  const std::size_t position = (bitCount_[0] >> 3) % kBlockSize;
  const std::size_t paddingSize = position < kLengthFieldOffset
                                      ? kLengthFieldOffset - position
                                      : kBlockSize + kLengthFieldOffset - position;
  Update(kPadding, static_cast<std::uint32_t>(paddingSize));
  Update(lengthField, kLengthFieldSize);

  for (std::size_t i = 0; i < Md5Context::kDigestSize / kWordSize; ++i) {
    StoreLe32(digestOut + kWordSize * i, state_[i]);
  }
  Init();
}

}  // namespace nodmark::core

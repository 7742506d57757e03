// SHA-1 (FIPS 180-1): block function, buffering and message completion.
#include "core/sha1.h"

#include <cstring>

namespace nodmark::core {
namespace {

constexpr std::size_t kBlockSize = Sha1Context::kBlockSize;
constexpr std::size_t kWordSize = 4;
constexpr std::size_t kWordCount = kBlockSize / kWordSize;
constexpr std::size_t kLengthFieldSize = 8;
// A block whose fill reaches this offset has no room left for the length field.
constexpr std::size_t kLengthFieldOffset = kBlockSize - kLengthFieldSize;

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
constexpr std::uint32_t kStepConstants[] = {kK0, kK1, kK2, kK3};
constexpr std::size_t kStepCount = 80;
constexpr std::size_t kStepsPerRound = 20;

// Message completion: one 0x80 byte, then zeros. Final feeds a prefix of 1 to 64 bytes of it.
constexpr std::uint8_t kPadding[kBlockSize] = {0x80};

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Byte-wise big-endian access; compilers turn these into a load or store plus a byte swap.
inline std::uint32_t LoadBe32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline void StoreBe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

// Fills w[0..79] with the message schedule plus the step constant of each step, so the steps
// only add one precomputed word. From step 32 on, W[t] = (W[t-6] ^ W[t-16] ^ W[t-28] ^ W[t-32])
// <<< 2, which follows from applying the standard recurrence twice; its shortest dependency is 6
// words back, so compilers can compute four words at a time with vector instructions.
inline void ExpandSchedule(const std::uint8_t* block, std::uint32_t* w) {
  for (std::size_t t = 0; t < kWordCount; ++t) w[t] = LoadBe32(block + kWordSize * t);
  for (std::size_t t = 16; t < 32; ++t) w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  for (std::size_t t = 32; t < kStepCount; ++t) {
    w[t] = Rotl(w[t - 6] ^ w[t - 16] ^ w[t - 28] ^ w[t - 32], 2);
  }
  for (std::size_t round = 0; round < kStepCount / kStepsPerRound; ++round) {
    const std::uint32_t k = kStepConstants[round];
    for (std::size_t t = round * kStepsPerRound; t < (round + 1) * kStepsPerRound; ++t) w[t] += k;
  }
}

// One step, with the variables renamed instead of moved: on return e holds the new A and b the
// rotated old B; the caller passes the variables shifted by one place for the next step.
inline void StepCh(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                   std::uint32_t& e, std::uint32_t wk) {
  e += wk;
  e += d ^ (b & (c ^ d));
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

inline void StepParity(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                       std::uint32_t& e, std::uint32_t wk) {
  e += wk;
  e += b ^ c ^ d;
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

// Majority as a sum of two terms that share no bit: (b & c) + (d & (b ^ c)).
inline void StepMaj(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                    std::uint32_t& e, std::uint32_t wk) {
  e += wk;
  e += d & (b ^ c);
  e += b & c;
  e += Rotl(a, 5);
  b = Rotl(b, 30);
}

// Runs the 80 steps over one block and adds the result into state.
void ProcessBlock(std::uint32_t* state, const std::uint8_t* block) {
  std::uint32_t w[kStepCount];
  ExpandSchedule(block, w);

  std::uint32_t a = state[0];
  std::uint32_t b = state[1];
  std::uint32_t c = state[2];
  std::uint32_t d = state[3];
  std::uint32_t e = state[4];

  // Steps 0 to 19.
  StepCh(a, b, c, d, e, w[0]);
  StepCh(e, a, b, c, d, w[1]);
  StepCh(d, e, a, b, c, w[2]);
  StepCh(c, d, e, a, b, w[3]);
  StepCh(b, c, d, e, a, w[4]);
  StepCh(a, b, c, d, e, w[5]);
  StepCh(e, a, b, c, d, w[6]);
  StepCh(d, e, a, b, c, w[7]);
  StepCh(c, d, e, a, b, w[8]);
  StepCh(b, c, d, e, a, w[9]);
  StepCh(a, b, c, d, e, w[10]);
  StepCh(e, a, b, c, d, w[11]);
  StepCh(d, e, a, b, c, w[12]);
  StepCh(c, d, e, a, b, w[13]);
  StepCh(b, c, d, e, a, w[14]);
  StepCh(a, b, c, d, e, w[15]);
  StepCh(e, a, b, c, d, w[16]);
  StepCh(d, e, a, b, c, w[17]);
  StepCh(c, d, e, a, b, w[18]);
  StepCh(b, c, d, e, a, w[19]);
  // Steps 20 to 39.
  StepParity(a, b, c, d, e, w[20]);
  StepParity(e, a, b, c, d, w[21]);
  StepParity(d, e, a, b, c, w[22]);
  StepParity(c, d, e, a, b, w[23]);
  StepParity(b, c, d, e, a, w[24]);
  StepParity(a, b, c, d, e, w[25]);
  StepParity(e, a, b, c, d, w[26]);
  StepParity(d, e, a, b, c, w[27]);
  StepParity(c, d, e, a, b, w[28]);
  StepParity(b, c, d, e, a, w[29]);
  StepParity(a, b, c, d, e, w[30]);
  StepParity(e, a, b, c, d, w[31]);
  StepParity(d, e, a, b, c, w[32]);
  StepParity(c, d, e, a, b, w[33]);
  StepParity(b, c, d, e, a, w[34]);
  StepParity(a, b, c, d, e, w[35]);
  StepParity(e, a, b, c, d, w[36]);
  StepParity(d, e, a, b, c, w[37]);
  StepParity(c, d, e, a, b, w[38]);
  StepParity(b, c, d, e, a, w[39]);
  // Steps 40 to 59.
  StepMaj(a, b, c, d, e, w[40]);
  StepMaj(e, a, b, c, d, w[41]);
  StepMaj(d, e, a, b, c, w[42]);
  StepMaj(c, d, e, a, b, w[43]);
  StepMaj(b, c, d, e, a, w[44]);
  StepMaj(a, b, c, d, e, w[45]);
  StepMaj(e, a, b, c, d, w[46]);
  StepMaj(d, e, a, b, c, w[47]);
  StepMaj(c, d, e, a, b, w[48]);
  StepMaj(b, c, d, e, a, w[49]);
  StepMaj(a, b, c, d, e, w[50]);
  StepMaj(e, a, b, c, d, w[51]);
  StepMaj(d, e, a, b, c, w[52]);
  StepMaj(c, d, e, a, b, w[53]);
  StepMaj(b, c, d, e, a, w[54]);
  StepMaj(a, b, c, d, e, w[55]);
  StepMaj(e, a, b, c, d, w[56]);
  StepMaj(d, e, a, b, c, w[57]);
  StepMaj(c, d, e, a, b, w[58]);
  StepMaj(b, c, d, e, a, w[59]);
  // Steps 60 to 79.
  StepParity(a, b, c, d, e, w[60]);
  StepParity(e, a, b, c, d, w[61]);
  StepParity(d, e, a, b, c, w[62]);
  StepParity(c, d, e, a, b, w[63]);
  StepParity(b, c, d, e, a, w[64]);
  StepParity(a, b, c, d, e, w[65]);
  StepParity(e, a, b, c, d, w[66]);
  StepParity(d, e, a, b, c, w[67]);
  StepParity(c, d, e, a, b, w[68]);
  StepParity(b, c, d, e, a, w[69]);
  StepParity(a, b, c, d, e, w[70]);
  StepParity(e, a, b, c, d, w[71]);
  StepParity(d, e, a, b, c, w[72]);
  StepParity(c, d, e, a, b, w[73]);
  StepParity(b, c, d, e, a, w[74]);
  StepParity(a, b, c, d, e, w[75]);
  StepParity(e, a, b, c, d, w[76]);
  StepParity(d, e, a, b, c, w[77]);
  StepParity(c, d, e, a, b, w[78]);
  StepParity(b, c, d, e, a, w[79]);

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
  const auto* input = static_cast<const std::uint8_t*>(bytesIn);

  std::size_t position = byteCount_[0] % kBlockSize;
  byteCount_[0] += byteCount;
  if (byteCount_[0] < byteCount) ++byteCount_[1];

  std::size_t remaining = byteCount;
  const std::size_t room = kBlockSize - position;
  if (remaining >= room) {
    std::memcpy(buffer_ + position, input, room);
    ProcessBlock(state_, buffer_);
    input += room;
    remaining -= room;
    for (; remaining >= kBlockSize; remaining -= kBlockSize, input += kBlockSize) {
      ProcessBlock(state_, input);
    }
    position = 0;
  }
  std::memcpy(buffer_ + position, input, remaining);
}

void Sha1Context::Final(std::uint8_t* digestOut) {
  // Length field: the message length in bits as a 64-bit big-endian number.
  const std::uint32_t bitsHigh = (byteCount_[1] << 3) | (byteCount_[0] >> 29);
  const std::uint32_t bitsLow = byteCount_[0] << 3;
  std::uint8_t lengthField[kLengthFieldSize];
  StoreBe32(lengthField, bitsHigh);
  StoreBe32(lengthField + kWordSize, bitsLow);

  const std::size_t position = byteCount_[0] % kBlockSize;
  const std::size_t paddingSize = position < kLengthFieldOffset
                                      ? kLengthFieldOffset - position
                                      : kBlockSize + kLengthFieldOffset - position;
  Update(kPadding, static_cast<std::uint32_t>(paddingSize));
  Update(lengthField, kLengthFieldSize);

  for (std::size_t i = 0; i < Sha1Context::kDigestSize / kWordSize; ++i) {
    StoreBe32(digestOut + kWordSize * i, state_[i]);
  }
  Init();
}

}  // namespace nodmark::core

#ifndef NODMARK_CORE_BIG_ENDIAN_H_
#define NODMARK_CORE_BIG_ENDIAN_H_

#include <cstddef>
#include <cstdint>

// What SHA-1 and SHA-256 share besides the block buffering: big-endian words and the
// message completion with its 64-bit big-endian bit count.
namespace nodmark::core {

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

// Completes a message of `byteCount` bytes (mod 2^64, low word first) in 64-byte blocks:
// one 0x80 byte and zeros up to the last 8 bytes of a block (of the next block when
// the current one has no room), then the length in bits, most significant byte first.
// `update(const uint8_t*, uint32_t)` feeds the context; it must accept every byte.
template <typename Update>
void CompleteBigEndianMessage(const std::uint32_t (&byteCount)[2], Update update) {
  constexpr std::size_t kBlockSize = 64;
  constexpr std::size_t kLengthFieldSize = 8;
  // A block whose fill reaches this offset has no room left for the length field.
  constexpr std::size_t kLengthFieldOffset = kBlockSize - kLengthFieldSize;
  static constexpr std::uint8_t kPadding[kBlockSize] = {0x80};

  std::uint8_t lengthField[kLengthFieldSize];
  StoreBe32(lengthField, (byteCount[1] << 3) | (byteCount[0] >> 29));
  StoreBe32(lengthField + 4, byteCount[0] << 3);

  const std::size_t position = byteCount[0] % kBlockSize;
  const std::size_t paddingSize = position < kLengthFieldOffset
                                      ? kLengthFieldOffset - position
                                      : kBlockSize + kLengthFieldOffset - position;
  update(kPadding, static_cast<std::uint32_t>(paddingSize));
  update(lengthField, static_cast<std::uint32_t>(kLengthFieldSize));
}

}  // namespace nodmark::core

#endif  // NODMARK_CORE_BIG_ENDIAN_H_

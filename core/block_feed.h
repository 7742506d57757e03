#ifndef NODMARK_CORE_BLOCK_FEED_H_
#define NODMARK_CORE_BLOCK_FEED_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace nodmark::core {

// The buffering both digests share: `position` bytes of a 64-byte block are already in
// `buffer`. Tops the buffered block up and processes it when the input completes it,
// processes every further whole block straight from `input`, and keeps the tail in
// `buffer`. `processBlock(const uint8_t*)` consumes one 64-byte block.
template <std::size_t kBlockSize, typename ProcessBlock>
inline void FeedBlocks(std::uint8_t (&buffer)[kBlockSize], std::size_t position,
                       const std::uint8_t* input, std::size_t count, ProcessBlock processBlock) {
  if (position != 0) {
    const std::size_t room = kBlockSize - position;
    if (count < room) {
      std::memcpy(buffer + position, input, count);
      return;
    }
    std::memcpy(buffer + position, input, room);
    processBlock(buffer);
    input += room;
    count -= room;
  }
  for (; count >= kBlockSize; count -= kBlockSize, input += kBlockSize) processBlock(input);
  std::memcpy(buffer, input, count);
}

// Adds `count` to a message length in bytes kept modulo 2^64 as two words, low word
// first, and answers the position in the 64-byte block before the addition.
inline std::size_t CountBytes(std::uint32_t (&byteCount)[2], std::uint32_t count) {
  constexpr std::size_t kBlockSize = 64;
  const std::size_t position = byteCount[0] % kBlockSize;
  byteCount[0] += count;
  if (byteCount[0] < count) ++byteCount[1];
  return position;
}

}  // namespace nodmark::core

#endif  // NODMARK_CORE_BLOCK_FEED_H_

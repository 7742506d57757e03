// SHA-256 message digest (FIPS 180-2) as a small incremental context.
#ifndef NODMARK_CORE_SHA256_H_
#define NODMARK_CORE_SHA256_H_

#include <cstddef>
#include <cstdint>

namespace nodmark::core {

// Computes the standard SHA-256 digest of the bytes fed between Init and Final. The result
// depends only on the concatenation of those bytes, not on how they were split across Update
// calls. Holds no pointers and no resources; one thread at a time.
class Sha256Context {
 public:
  static constexpr std::size_t kDigestSize = 32;
  static constexpr std::size_t kBlockSize = 64;

  // Ready for a new message (runs Init).
  Sha256Context();

  // Starts a new message: initial H0..H7, byte count 0, block buffer zeroed.
  void Init();

  // Appends byteCount bytes starting at bytesIn. Any count is accepted; with 0 it returns at once
  // (bytesIn may then be null).
  void Update(const void* bytesIn, std::uint32_t byteCount);

  // Writes the kDigestSize digest bytes to digestOut, then starts a new message (runs Init).
  void Final(std::uint8_t* digestOut);

 private:
  std::uint32_t state_[8];           // H0..H7
  std::uint32_t byteCount_[2];       // message length in bytes mod 2^64, low word first
  std::uint8_t buffer_[kBlockSize];  // bytes of the block not yet complete
};

}  // namespace nodmark::core

#endif  // NODMARK_CORE_SHA256_H_

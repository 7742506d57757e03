#include <algorithm>
#include <cstdint>

#include "platform/processor.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

constexpr char kFlagsSeparator = '_';
constexpr char kLowerHexDigits[] = "0123456789abcdef";
constexpr int kBitsPerHexDigit = 4;
constexpr std::uint32_t kHexDigitMask = 0xF;

// Appends `value` as "%x" writes it: lower-case hex digits, no leading zeros, at least
// one digit. Written out rather than formatted with printf so that the DLL does not
// carry the C runtime's whole formatting engine for eight digits.
void AppendLowerHex(ByteString& output, std::uint32_t value) {
  int shift = 0;
  while (shift + kBitsPerHexDigit < 32 && (value >> (shift + kBitsPerHexDigit)) != 0) {
    shift += kBitsPerHexDigit;
  }
  for (; shift >= 0; shift -= kBitsPerHexDigit) {
    output.push_back(static_cast<std::uint8_t>(kLowerHexDigits[(value >> shift) & kHexDigitMask]));
  }
}

}  // namespace

bool ReadProcessorSignature(ByteString& output) {
  output.clear();
  // A fault leaves both parts out: never a vendor without flags.
  const std::optional<platform::ProcessorIdentification> processor = platform::IdentifyProcessor();
  if (!processor) return true;

  // The vendor bytes are a text up to their first zero byte, at most all twelve.
  const auto& vendor = processor->vendor;
  output.assign(vendor.begin(), std::find(vendor.begin(), vendor.end(), 0));
  output.push_back(static_cast<std::uint8_t>(kFlagsSeparator));
  AppendLowerHex(output, processor->featureFlags);
  return true;
}

}  // namespace nodmark::sources

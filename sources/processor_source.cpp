#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "platform/processor.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

// "_" and up to eight hex digits, and the terminator snprintf writes.
constexpr std::size_t kFlagsTextCapacity = 10;

}  // namespace

bool ReadProcessorSignature(ByteString& output) {
  output.clear();
  // A fault leaves both parts out: never a vendor without flags.
  const std::optional<platform::ProcessorIdentification> processor = platform::IdentifyProcessor();
  if (!processor) return true;

  // The vendor bytes are a text up to their first zero byte, at most all twelve.
  const auto& vendor = processor->vendor;
  output.assign(vendor.begin(), std::find(vendor.begin(), vendor.end(), 0));

  char flagsText[kFlagsTextCapacity] = {};
  const int length =
      std::snprintf(flagsText, sizeof flagsText, "_%" PRIx32, processor->featureFlags);
  output.insert(output.end(), flagsText, flagsText + length);
  return true;
}

}  // namespace nodmark::sources

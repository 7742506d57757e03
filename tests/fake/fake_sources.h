#ifndef NODMARK_TESTS_FAKE_FAKE_SOURCES_H_
#define NODMARK_TESTS_FAKE_FAKE_SOURCES_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_string.h"

namespace nodmark::fake {

// The script the six source operations follow. A byte source with no value answers
// false; one with a value answers true with it (the processor and firmware sources
// always answer true, with an empty text when unset).
struct SourceScript {
  std::optional<ByteString> adapterFilterOff;
  std::optional<ByteString> adapterFilterOn;
  std::optional<ByteString> volumeSerial;
  ByteString processorSignature;
  ByteString firmwareSignature;
  std::string storedRandomId = "ABC";
  std::string settingsTag = "4";

  // Junk the byte sources leave in `output` when they answer false, so tests can
  // see that the recipes discard it.
  ByteString junkOnFailure = {0xDE, 0xAD};

  // The operations called, in order: "adapter_filter_off", "adapter_filter_on",
  // "volume", "processor", "firmware", "random_id", "settings_tag". Kept without
  // allocating, so that the shell's allocation-counting tests see only their own:
  // the first kRecordedCalls names are recorded, callCount counts them all.
  static constexpr std::size_t kRecordedCalls = 16;
  std::array<const char*, kRecordedCalls> calls{};
  std::size_t callCount = 0;

  void Record(const char* operation) {
    if (callCount < kRecordedCalls) calls[callCount] = operation;
    ++callCount;
  }
  // The recorded names; allocates.
  std::vector<std::string> CallLog() const {
    return std::vector<std::string>(calls.begin(),
                                    calls.begin() + std::min(callCount, kRecordedCalls));
  }
};

// Resets the script to its defaults and returns it.
SourceScript& ResetSources();
SourceScript& Sources();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_SOURCES_H_

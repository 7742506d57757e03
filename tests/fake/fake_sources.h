#ifndef NODMARK_TESTS_FAKE_FAKE_SOURCES_H_
#define NODMARK_TESTS_FAKE_FAKE_SOURCES_H_

#include <optional>
#include <string>

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

  int adapterCallsFilterOff = 0;
  int adapterCallsFilterOn = 0;
  int volumeCalls = 0;
  int randomIdCalls = 0;
};

// Resets the script to its defaults and returns it.
SourceScript& ResetSources();
SourceScript& Sources();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_SOURCES_H_

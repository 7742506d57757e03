#ifndef NODMARK_TESTS_FAKE_FAKE_PROCESSOR_H_
#define NODMARK_TESTS_FAKE_FAKE_PROCESSOR_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/processor.h"

namespace nodmark::fake {

// The scripted processor: identification faults while `identification` is unset.
struct ProcessorScript {
  std::optional<platform::ProcessorIdentification> identification;
};

ProcessorScript& Processor();
ProcessorScript& ResetProcessor();

// An identification with the vendor bytes of `vendor` (at most 12, zero-filled after;
// zero bytes inside it are kept) and the feature flags.
platform::ProcessorIdentification MakeIdentification(std::string_view vendor,
                                                     std::uint32_t featureFlags);

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_PROCESSOR_H_

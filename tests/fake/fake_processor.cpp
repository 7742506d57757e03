#include "fake/fake_processor.h"

#include <algorithm>

namespace nodmark::fake {

ProcessorScript& Processor() {
  static ProcessorScript script;
  return script;
}

ProcessorScript& ResetProcessor() { return Processor() = ProcessorScript(); }

platform::ProcessorIdentification MakeIdentification(std::string_view vendor,
                                                     std::uint32_t featureFlags) {
  platform::ProcessorIdentification identification;
  std::copy_n(vendor.begin(), std::min(vendor.size(), identification.vendor.size()),
              identification.vendor.begin());
  identification.featureFlags = featureFlags;
  return identification;
}

}  // namespace nodmark::fake

namespace nodmark::platform {

std::optional<ProcessorIdentification> IdentifyProcessor() {
  return fake::Processor().identification;
}

}  // namespace nodmark::platform

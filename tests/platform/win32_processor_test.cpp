#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/processor.h"

namespace nodmark::platform {
namespace {

// The OS answers these from its own reading of the same processor.
TEST(Win32Processor, FeatureFlagsAgreeWithTheOs) {
  const std::optional<ProcessorIdentification> processor = IdentifyProcessor();
  ASSERT_TRUE(processor.has_value());
  const struct {
    DWORD feature;
    int bit;
  } kBits[] = {{PF_RDTSC_INSTRUCTION_AVAILABLE, 4},
               {PF_MMX_INSTRUCTIONS_AVAILABLE, 23},
               {PF_XMMI_INSTRUCTIONS_AVAILABLE, 25},
               {PF_XMMI64_INSTRUCTIONS_AVAILABLE, 26}};
  for (const auto& bit : kBits) {
    EXPECT_EQ(IsProcessorFeaturePresent(bit.feature) != FALSE,
              (processor->featureFlags >> bit.bit & 1u) == 1)
        << "feature " << bit.feature;
  }
}

TEST(Win32Processor, VendorAgreesWithTheOsRegistry) {
  char vendor[64] = {};
  DWORD size = sizeof vendor;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                   "VendorIdentifier", RRF_RT_REG_SZ, nullptr, vendor, &size) != ERROR_SUCCESS) {
    GTEST_SKIP() << "no VendorIdentifier in the registry";
  }
  const std::optional<ProcessorIdentification> processor = IdentifyProcessor();
  ASSERT_TRUE(processor.has_value());
  EXPECT_EQ(std::string(processor->vendor.begin(), processor->vendor.end()), vendor);
}

}  // namespace
}  // namespace nodmark::platform

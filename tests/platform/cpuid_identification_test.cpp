// The identification logic over a scripted instruction: the answers no test machine
// gives on demand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/cpuid/cpuid_instruction.h"

namespace nodmark::platform {
namespace {

// What the scripted processor answers; leaf 0's EBX, EDX, ECX spell "GenuineIntel".
struct Script {
  bool present = true;
  unsigned highestLeaf = 0;
  CpuidRegisters leaf0 = {0, 0x756E6547, 0x6C65746E, 0x49656E69};
  CpuidRegisters leaf1 = {0, 0, 0, 0x0183FBFF};
  int runs = 0;
};
Script script;

constexpr CpuidInstruction kScripted = {
    [](unsigned* signature) -> unsigned {
      if (!script.present) return 0;
      *signature = script.leaf0[1];
      return script.highestLeaf;
    },
    [](unsigned leaf) {
      ++script.runs;
      return leaf == 0 ? script.leaf0 : script.leaf1;
    },
};

std::string VendorOf(const ProcessorIdentification& identification) {
  return std::string(identification.vendor.begin(), identification.vendor.end());
}

TEST(CpuidIdentification, AHighestLeafOfZeroStillReadsBothLeaves) {
  // Leaf 0's EBX, the signature, holding what an unwritten signature might hold too.
  const std::uint32_t signatures[] = {0x756E6547, 0, ~0u};
  for (const std::uint32_t ebx : signatures) {
    script = Script{};
    script.leaf0[1] = ebx;
    std::string vendor(sizeof ebx, '\0');
    std::memcpy(vendor.data(), &ebx, sizeof ebx);
    vendor += "ineIntel";
    const std::optional<ProcessorIdentification> identification = IdentifyProcessorWith(kScripted);
    ASSERT_TRUE(identification.has_value()) << "EBX " << ebx;
    EXPECT_EQ(VendorOf(*identification), vendor) << "EBX " << ebx;
    EXPECT_EQ(identification->featureFlags, 0x0183FBFFu) << "EBX " << ebx;
  }
}

TEST(CpuidIdentification, MissingInstructionIsNeverRun) {
  script = Script{};
  script.present = false;
  EXPECT_FALSE(IdentifyProcessorWith(kScripted).has_value());
  EXPECT_EQ(script.runs, 0);
}

}  // namespace
}  // namespace nodmark::platform

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fake/fake_processor.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

class ProcessorSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::ResetProcessor(); }

  // The signature for the scripted processor, as text; checks the call's contract.
  static std::string Signature() {
    ByteString output = {0xAA, 0xBB, 0xCC};  // junk the call must replace
    EXPECT_TRUE(ReadProcessorSignature(output));
    return std::string(output.begin(), output.end());
  }
};

TEST_F(ProcessorSourceTest, VendorUnderscoreAndFlagsInLowerCaseHex) {
  struct Case {
    std::string vendor;
    std::uint32_t flags;
    std::string signature;
  };
  const Case cases[] = {
      {"GenuineIntel", 0xBFEBFBFF, "GenuineIntel_bfebfbff"},
      {"AuthenticAMD", 0x178BFBFF, "AuthenticAMD_178bfbff"},
      {"GenuineIntel", 0, "GenuineIntel_0"},
      {"GenuineIntel", 0x0183FBFF, "GenuineIntel_183fbff"},
      {"GenuineIntel", 0xF, "GenuineIntel_f"},
      {"GenuineIntel", 0xFFFFFFFF, "GenuineIntel_ffffffff"},
  };
  for (const Case& c : cases) {
    fake::Processor().identification = fake::MakeIdentification(c.vendor, c.flags);
    EXPECT_EQ(Signature(), c.signature);
  }
}

TEST_F(ProcessorSourceTest, FaultGivesEmptyOutputAndTrue) { EXPECT_EQ(Signature(), ""); }

TEST_F(ProcessorSourceTest, VendorIsCutAtItsFirstZeroByte) {
  fake::Processor().identification =
      fake::MakeIdentification(std::string("Genu\0neIntel", 12), 0xBFEBFBFF);
  EXPECT_EQ(Signature(), "Genu_bfebfbff");

  fake::Processor().identification = fake::MakeIdentification(std::string(12, '\0'), 0x1);
  EXPECT_EQ(Signature(), "_1");
}

TEST_F(ProcessorSourceTest, VendorOfTwelveBytesWithoutZeroIsTakenWhole) {
  fake::Processor().identification = fake::MakeIdentification("ABCDEFGHIJKL", 0x10);
  EXPECT_EQ(Signature(), "ABCDEFGHIJKL_10");
}

}  // namespace
}  // namespace nodmark::sources

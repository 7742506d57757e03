#include <gtest/gtest.h>

#include <cstdint>

#include "fake/fake_volume.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

class VolumeSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { volumes = &fake::ResetVolumes(); }
  fake::VolumeScript* volumes = nullptr;
  ByteString output = {0xAA, 0xBB, 0xCC};  // junk the call must replace
};

TEST_F(VolumeSourceTest, SerialComesLeastSignificantByteFirstThenTwoZeros) {
  volumes->serialOfC = 0x1A2B3C4D;
  ASSERT_TRUE(ReadVolumeSerial(output));
  EXPECT_EQ(output, (ByteString{0x4D, 0x3C, 0x2B, 0x1A, 0x00, 0x00}));
}

TEST_F(VolumeSourceTest, AsksForDriveCRoot) {
  volumes->serialOfC = 1;
  ReadVolumeSerial(output);
  EXPECT_EQ(volumes->lastRootPath, "c:\\");
}

TEST_F(VolumeSourceTest, ZeroAndAllOnesSerialsAreTakenAsTheyCome) {
  volumes->serialOfC = 0;
  ASSERT_TRUE(ReadVolumeSerial(output));
  EXPECT_EQ(output, ByteString(6, 0x00));

  volumes->serialOfC = 0xFFFFFFFF;
  ASSERT_TRUE(ReadVolumeSerial(output));
  EXPECT_EQ(output, (ByteString{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
}

TEST_F(VolumeSourceTest, MissingVolumeGivesFalseAndEmptiesOutput) {
  EXPECT_FALSE(ReadVolumeSerial(output));
  EXPECT_TRUE(output.empty());
}

}  // namespace
}  // namespace nodmark::sources

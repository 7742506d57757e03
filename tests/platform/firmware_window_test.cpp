// The real firmware window. Under Wine, and natively without root, physical memory
// cannot be opened and the window is empty; with access it covers the whole window.
#include <gtest/gtest.h>

#include <string>

#include "platform/firmware.h"
#include "sources/firmware_probe.h"
#include "sources/machine_sources.h"

namespace nodmark::platform {
namespace {

TEST(FirmwareWindow, IsEmptyOrCoversTheWholeWindow) {
  const FirmwareWindow window = MapFirmwareWindow();
  if (window.empty()) {
    EXPECT_EQ(window.data(), nullptr);
  } else {
    EXPECT_NE(window.data(), nullptr);
    EXPECT_GE(window.size(), kFirmwareWindowSize);
  }
}

TEST(ReadFirmwareSignature, AgreesWithTheProbesOverTheRealWindow) {
  ByteString output = {0xDE, 0xAD};
  EXPECT_TRUE(sources::ReadFirmwareSignature(output));
  const FirmwareWindow window = MapFirmwareWindow();
  const auto match = sources::FindFirmwareText(window.data(), window.size());
  EXPECT_EQ(std::string(output.begin(), output.end()), match ? match->text : std::string());
}

}  // namespace
}  // namespace nodmark::platform

// The real firmware window. Under Wine, and natively without root, physical memory
// cannot be opened and the window is empty; with access it covers the whole window.
#include <gtest/gtest.h>

#include "platform/firmware.h"

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

}  // namespace
}  // namespace nodmark::platform

#include "core/hex_text.h"

#include <gtest/gtest.h>

namespace nodmark::core {
namespace {

TEST(HexText, EveryByteGivesTwoUpperCaseDigitsHighNibbleFirst) {
  for (int value = 0; value < 256; ++value) {
    std::string text;
    AppendHexByte(text, static_cast<std::uint8_t>(value));
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02X", value);
    EXPECT_EQ(text, expected) << "byte " << value;
  }
}

TEST(HexText, AppendsWithoutSeparators) {
  std::string text = "x";
  AppendHexBytes(text, ByteString{0x00, 0x0A, 0xFF});
  EXPECT_EQ(text, "x000AFF");
}

}  // namespace
}  // namespace nodmark::core

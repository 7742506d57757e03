#include "sources/base36_triple.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace nodmark::sources {
namespace {

TEST(EncodeBase36Triple, GivesTheKnownTexts) {
  const struct {
    std::uint32_t number;
    const char* text;
  } kCases[] = {
      {0, "000"},
      {1, "100"},
      {35, "Z00"},
      {36, "010"},
      {82, "A20"},
      {46654, "YZZ"},
      {46655, "000"},
      {46656, "100"},
      {65534, "FKE"},
      // The whole 32-bit range is reduced, not only draws: 4294967295 mod 46655 = 1305.
      {0xFFFFFFFFu, "901"},
  };
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    EXPECT_EQ(EncodeBase36Triple(kCases[i].number), kCases[i].text) << "case " << i;
  }
}

// Every value a draw can give (0 to 65534): three characters from 0-9 and A-Z, never
// the failure text, "000" only where the draw is repeated, and no two of the 46655
// reduced values sharing a text.
TEST(EncodeBase36Triple, EveryDrawableNumberGivesAUsableDistinctText) {
  constexpr std::uint32_t kLargestDraw = 65534;
  constexpr std::uint32_t kModulus = 46655;
  std::set<std::string> seen;
  for (std::uint32_t number = 0; number <= kLargestDraw; ++number) {
    const std::string text = EncodeBase36Triple(number);
    ASSERT_EQ(text.size(), 3u) << number;
    for (char c : text) {
      ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << number << ": " << text;
    }
    ASSERT_NE(text, "ZZZ") << number;
    ASSERT_EQ(text == "000", number == 0 || number == kModulus) << number;
    if (number < kModulus) seen.insert(text);
  }
  EXPECT_EQ(seen.size(), kModulus);
}

}  // namespace
}  // namespace nodmark::sources

#include "sources/settings_tag.h"

#include "sources/component_settings.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

// Character codes are an offset plus the bit count; the offset steps past '7' at six
// bits and past the punctuation between '9' and 'A' at eight.
constexpr int kSmallOffset = 0x31;
constexpr int kMiddleOffset = 0x32;
constexpr int kLargeOffset = 0x39;
constexpr int kLastSmallBitCount = 5;
constexpr int kLastMiddleBitCount = 7;

int SignificantBits(std::uint32_t value) {
  int bits = 0;
  for (; value != 0; value >>= 1) ++bits;
  return bits;
}

}  // namespace

char SettingsTagFor(std::uint32_t tagValue) {
  const int bits = SignificantBits(tagValue);
  const int offset = bits <= kLastSmallBitCount    ? kSmallOffset
                     : bits <= kLastMiddleBitCount ? kMiddleOffset
                                                   : kLargeOffset;
  return static_cast<char>(offset + bits);
}

std::string ReadSettingsTag() {
  return std::string(1, SettingsTagFor(ComponentSettings::Instance().TagValue()));
}

}  // namespace nodmark::sources

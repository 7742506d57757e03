#include "tools/json_text.h"

namespace nodmark::tools {
namespace {

constexpr int kIndentWidth = 2;
constexpr unsigned char kFirstNonAscii = 0x80;
constexpr unsigned char kTwoByteLead = 0xC0;
constexpr unsigned char kContinuation = 0x80;
constexpr unsigned char kSixBits = 0x3F;

}  // namespace

Json JsonText(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < kFirstNonAscii) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(kTwoByteLead | (byte >> 6));
      utf8 += static_cast<char>(kContinuation | (byte & kSixBits));
    }
  }
  return Json(std::move(utf8));
}

std::string DumpJson(const Json& value) {
  return value.dump(kIndentWidth, ' ', /*ensure_ascii=*/true) + '\n';
}

}  // namespace nodmark::tools

#include "tools/reports/json_text.h"

namespace nodmark::tools {
namespace {

constexpr int kIndentWidth = 2;
constexpr unsigned char kFirstNonAscii = 0x80;
constexpr unsigned char kTwoByteLead = 0xC0;
constexpr unsigned char kContinuation = 0x80;
constexpr unsigned char kSixBits = 0x3F;
// The lead bytes of U+0080 to U+00FF in UTF-8; nlohmann::json keeps strings as UTF-8.
constexpr unsigned char kLatinLeadLow = 0xC2;
constexpr unsigned char kLatinLeadHigh = 0xC3;
constexpr unsigned char kTwoBits = 0x03;

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

std::optional<std::string> BytesOfJsonText(const Json& text) {
  if (!text.is_string()) return std::nullopt;
  const std::string& utf8 = text.get_ref<const std::string&>();
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < kFirstNonAscii) {
      bytes += utf8[i];
    } else if ((lead == kLatinLeadLow || lead == kLatinLeadHigh) && i + 1 < utf8.size()) {
      const auto next = static_cast<unsigned char>(utf8[++i]);
      bytes += static_cast<char>(((lead & kTwoBits) << 6) | (next & kSixBits));
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

std::string DumpJson(const Json& value) {
  return value.dump(kIndentWidth, ' ', /*ensure_ascii=*/true) + '\n';
}

}  // namespace nodmark::tools

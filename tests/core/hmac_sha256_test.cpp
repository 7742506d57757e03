// HmacSha256Context against the test cases of RFC 4231, fed whole, byte by byte and split
// at every offset, on one context reused after each Final.
#include "core/hmac_sha256.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nodmark::core {
namespace {

struct HmacCase {
  std::string key;
  std::string message;
  const char* macHex;  // a prefix of the MAC's hex text: case 5 gives only 128 bits
};

// RFC 4231, section 4 (test cases 1 to 7).
const std::vector<HmacCase>& Rfc4231Cases() {
  static const std::vector<HmacCase> cases = {
      {std::string(20, '\x0b'), "Hi There",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {std::string(20, '\xaa'), std::string(50, '\xdd'),
       "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
      {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15"
       "\x16\x17\x18\x19",
       std::string(50, '\xcd'), "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
      {std::string(20, '\x0c'), "Test With Truncation", "a3b6167473100ee06e0c796c2955552b"},
      {std::string(131, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
       "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
      {std::string(131, '\xaa'),
       "This is a test using a larger than block-size key and a larger than block-size data. "
       "The key needs to be hashed before being used by the HMAC algorithm.",
       "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
  };
  return cases;
}

// The hex text of the MAC, cut to the length of `expected` (case 5 gives only 128 bits).
std::string FinalHex(HmacSha256Context& context, const char* expected) {
  static const char kDigits[] = "0123456789abcdef";
  std::uint8_t mac[HmacSha256Context::kMacSize];
  context.Final(mac);
  std::string text;
  for (std::uint8_t byte : mac) text += {kDigits[byte >> 4], kDigits[byte & 0x0F]};
  return text.substr(0, std::string(expected).size());
}

// Each case fed in two pieces cut at every offset on one context, which Final must
// leave ready for the next message, then byte by byte.
TEST(HmacSha256, Rfc4231CasesFedInEveryWay) {
  for (std::size_t i = 0; i < Rfc4231Cases().size(); ++i) {
    const HmacCase& known = Rfc4231Cases()[i];
    const auto size = static_cast<std::uint32_t>(known.message.size());
    HmacSha256Context context(known.key.data(), static_cast<std::uint32_t>(known.key.size()));
    for (std::uint32_t cut = 0; cut <= size; ++cut) {
      context.Update(known.message.data(), cut);
      context.Update(known.message.data() + cut, size - cut);
      EXPECT_EQ(FinalHex(context, known.macHex), known.macHex)
          << "case " << i + 1 << ", cut " << cut;
    }
    for (char byte : known.message) context.Update(&byte, 1);
    EXPECT_EQ(FinalHex(context, known.macHex), known.macHex) << "case " << i + 1 << ", bytewise";
  }
}

}  // namespace
}  // namespace nodmark::core

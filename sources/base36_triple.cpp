#include "sources/base36_triple.h"

namespace nodmark::sources {
namespace {

constexpr std::uint32_t kBase = 36;
constexpr int kDigits = 3;
constexpr std::uint32_t kDecimalDigits = 10;
// One less than 36^3, the value of "ZZZ".
constexpr std::uint32_t kModulus = kBase * kBase * kBase - 1;

}  // namespace

std::string EncodeBase36Triple(std::uint32_t number) {
  std::uint32_t value = number % kModulus;
  std::string text;
  for (int i = 0; i < kDigits; ++i) {
    const std::uint32_t digit = value % kBase;
    text +=
        static_cast<char>(digit < kDecimalDigits ? '0' + digit : 'A' + (digit - kDecimalDigits));
    value /= kBase;
  }
  return text;
}

}  // namespace nodmark::sources

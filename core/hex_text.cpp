#include "core/hex_text.h"

namespace nodmark::core {
namespace {

char HexDigit(unsigned nibble) {
  return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + (nibble - 10));
}

}  // namespace

void AppendHexByte(std::string& text, std::uint8_t byte) {
  text.push_back(HexDigit(byte >> 4));
  text.push_back(HexDigit(byte & 0x0Fu));
}

void AppendHexBytes(std::string& text, const std::uint8_t* bytes, std::size_t count) {
  text.reserve(text.size() + 2 * count);
  for (std::size_t i = 0; i < count; ++i) AppendHexByte(text, bytes[i]);
}

void AppendHexBytes(std::string& text, const ByteString& bytes) {
  AppendHexBytes(text, bytes.data(), bytes.size());
}

}  // namespace nodmark::core

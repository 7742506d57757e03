#ifndef NODMARK_CORE_HEX_TEXT_H_
#define NODMARK_CORE_HEX_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/byte_string.h"

namespace nodmark::core {

// Appends the byte as two upper-case hexadecimal digits, high nibble first.
void AppendHexByte(std::string& text, std::uint8_t byte);

// Appends every byte with AppendHexByte, first to last, without separators.
void AppendHexBytes(std::string& text, const std::uint8_t* bytes, std::size_t count);
void AppendHexBytes(std::string& text, const ByteString& bytes);

}  // namespace nodmark::core

#endif  // NODMARK_CORE_HEX_TEXT_H_

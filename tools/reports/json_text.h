#ifndef NODMARK_TOOLS_REPORTS_JSON_TEXT_H_
#define NODMARK_TOOLS_REPORTS_JSON_TEXT_H_

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace nodmark::tools {

// Members keep the order in which they are added.
using Json = nlohmann::ordered_json;

// A JSON string holding `bytes`. The texts the tool reports are bytes in the system
// ANSI code page, not UTF-8, so each byte becomes the code point of its value
// (Latin-1): nothing is lost, whatever the bytes are.
Json JsonText(std::string_view bytes);

// The bytes a JsonText was made of: each code point back as the byte of its value.
// nullopt when `text` is not a string or holds a code point above U+00FF, which no
// byte gives.
std::optional<std::string> BytesOfJsonText(const Json& text);

// `value` pretty-printed with two-space indentation and a final line break, in plain
// ASCII: every code point from 0x80 up is written as \u00xx, so a JsonText comes out
// byte for byte recoverable. Throws nlohmann::json::type_error for a string that
// bypassed JsonText and is not UTF-8.
std::string DumpJson(const Json& value);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_REPORTS_JSON_TEXT_H_

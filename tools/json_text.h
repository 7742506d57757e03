#ifndef NODMARK_TOOLS_JSON_TEXT_H_
#define NODMARK_TOOLS_JSON_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nodmark::tools {

// `text` as a JSON string literal, quotes included, in plain ASCII. The texts the tool
// reports are bytes in the system ANSI code page, not UTF-8, so every byte from 0x80
// up is written as \u00XX: the byte's value read as a code point (Latin-1). Nothing is
// lost that way (each byte maps to one code point below 0x100) and the output is valid
// JSON whatever the bytes are. The quote, the backslash and the control characters
// below 0x20 are escaped (with their short forms where JSON has one), and so is 0x7F.
std::string QuoteJsonString(std::string_view text);

// Writes one JSON value, pretty-printed with two-space indentation, from a sequence of
// calls that a caller nests correctly: inside an object every value follows a Key.
// Not thread-safe.
class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view name);
  void String(std::string_view text);
  void Number(std::int64_t value);
  void Bool(bool value);
  void Null();

  // The text written so far; it ends with a line break once the outermost object or
  // array is closed.
  const std::string& text() const { return text_; }

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);
  void NewLine();

  std::string text_;
  // One entry per open object or array: whether it holds a member yet.
  std::vector<bool> hasMember_;
  bool afterKey_ = false;
};

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_JSON_TEXT_H_

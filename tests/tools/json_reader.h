#ifndef NODMARK_TESTS_TOOLS_JSON_READER_H_
#define NODMARK_TESTS_TOOLS_JSON_READER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nodmark::testing {

// A parsed JSON value, for tests that check the tool's output is JSON and read it back.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::int64_t number = 0;
  // Code points up to U+00FF come back as one byte each (the tool writes its bytes that
  // way); others as their UTF-8 bytes.
  std::string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  // The member `name` of an object; a null value when it is missing.
  const JsonValue& operator[](const std::string& name) const;
};

// Parses the whole of `text` as one JSON value (RFC 8259, integers only for numbers;
// whitespace around it allowed). Nullopt, with the reason in *error, when it is not
// JSON: a control character inside a string, a trailing comma, a duplicate key, text
// after the value, and so on.
std::optional<JsonValue> ParseJson(std::string_view text, std::string* error);

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_TOOLS_JSON_READER_H_

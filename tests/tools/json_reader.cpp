#include "tools/json_reader.h"

#include <cctype>

namespace nodmark::testing {
namespace {

constexpr unsigned char kFirstUnescaped = 0x20;
constexpr std::uint32_t kOneByteLimit = 0x100;
constexpr std::uint32_t kTwoByteUtf8Limit = 0x800;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> ParseDocument(std::string* error) {
    JsonValue value;
    SkipWhitespace();
    if (ParseValue(value)) {
      SkipWhitespace();
      if (pos_ == text_.size()) return value;
      Fail("text after the value");
    }
    if (error) *error = error_ + " at offset " + std::to_string(pos_);
    return std::nullopt;
  }

 private:
  bool Fail(const std::string& reason) {
    if (error_.empty()) error_ = reason;
    return false;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void SkipWhitespace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
      ++pos_;
    }
  }
  bool Consume(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return Fail("expected " + std::string(word));
    pos_ += word.size();
    return true;
  }

  bool ParseValue(JsonValue& value) {
    switch (Peek()) {
      case '{':
        return ParseObject(value);
      case '[':
        return ParseArray(value);
      case '"':
        value.kind = JsonValue::Kind::kString;
        return ParseString(value.string);
      case 't':
        value.kind = JsonValue::Kind::kBool;
        value.boolean = true;
        return Consume("true");
      case 'f':
        value.kind = JsonValue::Kind::kBool;
        return Consume("false");
      case 'n':
        value.kind = JsonValue::Kind::kNull;
        return Consume("null");
      default:
        return ParseNumber(value);
    }
  }

  bool ParseNumber(JsonValue& value) {
    const bool negative = Peek() == '-';
    if (negative) ++pos_;
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return Fail("expected a value");
    if (Peek() == '0' && pos_ + 1 < text_.size() &&
        std::isdigit(static_cast<unsigned char>(text_[pos_ + 1]))) {
      return Fail("leading zero");
    }
    std::int64_t number = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek())))
      number = number * 10 + (text_[pos_++] - '0');
    value.kind = JsonValue::Kind::kNumber;
    value.number = negative ? -number : number;
    return true;
  }

  bool ParseHex4(std::uint32_t& code) {
    if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      code <<= 4;
      if (c >= '0' && c <= '9') {
        code |= static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'A' && c <= 'F') {
        code |= static_cast<std::uint32_t>(c - 'A' + 10);
      } else if (c >= 'a' && c <= 'f') {
        code |= static_cast<std::uint32_t>(c - 'a' + 10);
      } else {
        return Fail("bad \\u escape");
      }
    }
    return true;
  }

  static void AppendCodePoint(std::string& out, std::uint32_t code) {
    if (code < kOneByteLimit) {
      out += static_cast<char>(code);
    } else if (code < kTwoByteUtf8Limit) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool ParseString(std::string& out) {
    ++pos_;  // the opening quote
    while (true) {
      if (AtEnd()) return Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < kFirstUnescaped) return Fail("control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (AtEnd()) return Fail("unterminated escape");
      const char escape = text_[pos_++];
      switch (escape) {
        case '"':
        case '\\':
        case '/':
          out += escape;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t code = 0;
          if (!ParseHex4(code)) return false;
          AppendCodePoint(out, code);
          break;
        }
        default:
          return Fail("unknown escape");
      }
    }
  }

  bool ParseArray(JsonValue& value) {
    value.kind = JsonValue::Kind::kArray;
    ++pos_;
    SkipWhitespace();
    if (Peek() == ']') {
      ++pos_;
      return true;
    }
    while (true) {
      SkipWhitespace();
      JsonValue element;
      if (!ParseValue(element)) return false;
      value.array.push_back(std::move(element));
      SkipWhitespace();
      if (Peek() == ']') {
        ++pos_;
        return true;
      }
      if (!Consume(",")) return false;
    }
  }

  bool ParseObject(JsonValue& value) {
    value.kind = JsonValue::Kind::kObject;
    ++pos_;
    SkipWhitespace();
    if (Peek() == '}') {
      ++pos_;
      return true;
    }
    while (true) {
      SkipWhitespace();
      if (Peek() != '"') return Fail("expected a key");
      std::string key;
      if (!ParseString(key)) return false;
      SkipWhitespace();
      if (!Consume(":")) return false;
      SkipWhitespace();
      JsonValue member;
      if (!ParseValue(member)) return false;
      if (!value.object.emplace(std::move(key), std::move(member)).second) {
        return Fail("duplicate key");
      }
      SkipWhitespace();
      if (Peek() == '}') {
        ++pos_;
        return true;
      }
      if (!Consume(",")) return false;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  static const JsonValue kMissing;
  const auto found = object.find(name);
  return found == object.end() ? kMissing : found->second;
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string* error) {
  return Parser(text).ParseDocument(error);
}

}  // namespace nodmark::testing

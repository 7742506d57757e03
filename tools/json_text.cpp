#include "tools/json_text.h"

#include "core/hex_text.h"

namespace nodmark::tools {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr int kIndentWidth = 2;

void AppendUnicodeEscape(std::string& out, unsigned char byte) {
  out += "\\u00";
  core::AppendHexByte(out, byte);
}

}  // namespace

std::string QuoteJsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < kFirstPrintable || byte >= kDelete) {
          AppendUnicodeEscape(out, byte);
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

void JsonWriter::NewLine() {
  text_ += '\n';
  text_.append(hasMember_.size() * kIndentWidth, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasMember_.empty()) return;
  if (hasMember_.back()) text_ += ',';
  hasMember_.back() = true;
  NewLine();
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  text_ += bracket;
  hasMember_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool hadMembers = hasMember_.back();
  hasMember_.pop_back();
  if (hadMembers) NewLine();
  text_ += bracket;
  if (hasMember_.empty()) text_ += '\n';
}

void JsonWriter::BeginObject() { Open('{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray() { Open('['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  text_ += QuoteJsonString(name);
  text_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view text) {
  BeforeValue();
  text_ += QuoteJsonString(text);
}

void JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
}

}  // namespace nodmark::tools

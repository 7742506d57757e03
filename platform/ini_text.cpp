#include "platform/ini_text.h"

#include <cstddef>
#include <vector>

namespace nodmark::platform {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineFeed = "\n";
constexpr std::string_view kCarriageReturnLineFeed = "\r\n";
constexpr char kSectionOpen = '[';
constexpr char kSectionClose = ']';
constexpr char kCommentStart = ';';
constexpr char kKeyValueSeparator = '=';

std::string_view TrimLeft(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  const std::size_t last = s.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// One line of the text: its characters and the line break that ended it ("" for a
// last line without one).
struct Line {
  std::string_view body;
  std::string_view ending;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    Line line{text, {}};
    if (feed != std::string_view::npos) {
      line.body = text.substr(0, feed);
      line.ending = kLineFeed;
      if (!line.body.empty() && line.body.back() == '\r') {
        line.body.remove_suffix(1);
        line.ending = kCarriageReturnLineFeed;
      }
      text.remove_prefix(feed + 1);
    } else {
      text = {};
    }
    lines.push_back(line);
  }
  return lines;
}

std::optional<std::string_view> SectionNameOf(std::string_view body) {
  std::string_view rest = TrimLeft(body);
  if (rest.empty() || rest.front() != kSectionOpen) return std::nullopt;
  rest.remove_prefix(1);
  return Trim(rest.substr(0, rest.find(kSectionClose)));
}

struct Entry {
  std::string_view indent;
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view body) {
  const std::string_view rest = TrimLeft(body);
  if (rest.empty() || rest.front() == kCommentStart || rest.front() == kSectionOpen) {
    return std::nullopt;
  }
  const std::size_t separator = rest.find(kKeyValueSeparator);
  if (separator == std::string_view::npos) return std::nullopt;
  const std::string_view key = Trim(rest.substr(0, separator));
  if (key.empty()) return std::nullopt;
  return Entry{body.substr(0, body.size() - rest.size()), key, Trim(rest.substr(separator + 1))};
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The break that completes a last line which had none, now that something follows it. A
// line feed after a final carriage return would pair with it into a "\r\n" break and
// take the carriage return out of the line's text; such a line gets a "\r\n" of its own,
// so it reads as before.
std::string_view BreakToComplete(const Line& line, std::string_view textEnding) {
  if (!line.body.empty() && line.body.back() == '\r') return kCarriageReturnLineFeed;
  return textEnding;
}

bool HoldsLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Where `section` and `key` sit among `lines`: the index of the section's header,
// of the key's entry, and of the line after which a new entry belongs.
struct Location {
  std::optional<std::size_t> header;
  std::optional<std::size_t> entry;
  std::size_t lastEntryOrHeader = 0;
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location where;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = SectionNameOf(lines[i].body)) {
      if (where.header) break;  // the first section of that name has ended
      if (EqualsIgnoringCase(*name, section)) {
        where.header = i;
        where.lastEntryOrHeader = i;
      }
      continue;
    }
    if (!where.header) continue;
    if (const auto entry = EntryOf(lines[i].body)) {
      where.lastEntryOrHeader = i;
      if (!where.entry && EqualsIgnoringCase(entry->key, key)) where.entry = i;
    }
  }
  return where;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  const std::vector<Line> lines = SplitLines(text);
  const Location where = Locate(lines, Trim(section), Trim(key));
  if (!where.entry) return std::nullopt;
  return std::string(Unquote(EntryOf(lines[*where.entry].body)->value));
}

std::optional<std::string> SetIniValue(std::string_view text, std::string_view section,
                                       std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (HoldsLineBreakOrZero(section) || HoldsLineBreakOrZero(key) || HoldsLineBreakOrZero(value) ||
      section.find(kSectionClose) != std::string_view::npos || key.empty() ||
      key.find(kKeyValueSeparator) != std::string_view::npos || key.front() == kSectionOpen ||
      key.front() == kCommentStart) {
    return std::nullopt;
  }

  const std::vector<Line> lines = SplitLines(text);
  const std::string_view ending =
      (lines.empty() || lines.front().ending.empty()) ? kLineFeed : lines.front().ending;
  const Location where = Locate(lines, section, key);

  // The new text as lines; a line that used to end the text without a break gets one
  // when something now follows it.
  std::vector<std::string> pieces;
  pieces.reserve(lines.size() + 3);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (where.entry && i == *where.entry) {
      const Entry entry = *EntryOf(lines[i].body);
      pieces.push_back(std::string(entry.indent) + std::string(entry.key) + kKeyValueSeparator +
                       std::string(value));
    } else {
      pieces.emplace_back(lines[i].body);
    }
    pieces.back() += lines[i].ending;
    if (where.header && !where.entry && i == where.lastEntryOrHeader) {
      if (lines[i].ending.empty()) pieces.back() += BreakToComplete(lines[i], ending);
      pieces.push_back(std::string(key) + kKeyValueSeparator + std::string(value));
      pieces.back() += ending;
    }
  }
  if (!where.header) {
    if (!lines.empty()) {
      if (lines.back().ending.empty()) pieces.back() += BreakToComplete(lines.back(), ending);
      if (!Trim(lines.back().body).empty()) pieces.emplace_back(ending);
    }
    pieces.push_back(kSectionOpen + std::string(section) + kSectionClose + std::string(ending));
    pieces.push_back(std::string(key) + kKeyValueSeparator + std::string(value) +
                     std::string(ending));
  }

  std::string result;
  for (const std::string& piece : pieces) result += piece;
  return result;
}

}  // namespace nodmark::platform

// The private-profile text reader and writer over arbitrary files, sections, keys and
// values. A write is refused exactly for the names and values the header lists; else it
// changes one line or adds the lines it needs and keeps every other line byte for byte,
// the written value reads back as the reader sees values, and writing it again changes
// nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/ini_text.h"

namespace nodmark::fuzz {
namespace {

constexpr std::size_t kMaxNameLength = 24;
constexpr std::string_view kBlanks = " \t";

struct Line {
  std::string_view body;
  std::string_view ending;  // "\n", "\r\n", or "" for a last line without a break
  bool operator==(const Line& other) const { return body == other.body && ending == other.ending; }
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    if (feed == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    const bool crlf = feed > 0 && text[feed - 1] == '\r';
    lines.push_back({text.substr(0, crlf ? feed - 1 : feed),
                     text.substr(crlf ? feed - 1 : feed, crlf ? 2 : 1)});
    text.remove_prefix(feed + 1);
  }
  return lines;
}

std::string_view TrimRight(std::string_view s) {
  const std::size_t last = s.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// How the reader gives back a value it finds: without surrounding blanks or one pair of
// enclosing quotes.
std::string ReadBack(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool HoldsLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool MustRefuse(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  return HoldsLineBreakOrZero(section) || HoldsLineBreakOrZero(key) ||
         HoldsLineBreakOrZero(value) || section.find(']') != std::string_view::npos ||
         key.empty() || key.find('=') != std::string_view::npos || key.front() == '[' ||
         key.front() == ';';
}

// Whether `after` is `before`'s line with only its ending completed: a last line without a
// break gets one when something now follows it.
bool KeptLine(const Line& before, const Line& after, bool wasLast) {
  if (before == after) return true;
  return wasLast && before.ending.empty() && before.body == after.body && !after.ending.empty();
}

// The written text is the old one with either one entry line rewritten, or one entry line
// inserted, or a section header and its entry (after a blank line, unless the text ended
// with one) appended; every other line is kept.
void CheckEveryOtherLineKept(std::string_view text, std::string_view written,
                             std::string_view section, std::string_view key,
                             std::string_view value) {
  const std::vector<Line> before = Lines(text);
  const std::vector<Line> after = Lines(written);
  const std::string newEntry = std::string(Trim(key)) + "=" + std::string(value);
  const std::string newHeader = "[" + std::string(Trim(section)) + "]";
  const std::string valueSuffix = "=" + std::string(value);

  std::size_t same = 0;  // leading lines kept
  while (same < before.size() && same < after.size() &&
         KeptLine(before[same], after[same], same + 1 == before.size())) {
    ++same;
  }
  if (after.size() == before.size()) {
    // An entry rewritten in place (or nothing changed, when it already read so).
    if (same == before.size()) return;
    const Line& old = before[same];
    const Line& now = after[same];
    Require(now.ending == old.ending && now.body.size() >= valueSuffix.size() &&
                now.body.substr(now.body.size() - valueSuffix.size()) == valueSuffix &&
                TrimRight(old.body.substr(0, old.body.find('='))) ==
                    now.body.substr(0, now.body.size() - valueSuffix.size()),
            "a rewritten entry keeps its indent and key and takes the new value");
    for (std::size_t i = same + 1; i < before.size(); ++i) {
      Require(before[i] == after[i], "lines after a rewritten entry are kept");
    }
    return;
  }
  if (after.size() == before.size() + 1) {
    Require(after[same].body == newEntry, "the one added line is the new entry");
    for (std::size_t i = same; i < before.size(); ++i) {
      Require(KeptLine(before[i], after[i + 1], i + 1 == before.size()),
              "lines after an added entry are kept");
    }
    return;
  }
  Require(same == before.size(), "a new section leaves every old line in place");
  const std::size_t added = after.size() - before.size();
  Require(added == 2 || added == 3, "a new section adds its header and entry");
  if (added == 3) Require(after[same].body.empty(), "a blank line before the new section");
  Require(after[after.size() - 2].body == newHeader && after.back().body == newEntry,
          "the new section's header and entry, at the end");
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  using fuzz::Require;
  FuzzedDataProvider provider(data, size);
  const std::string section = provider.ConsumeRandomLengthString(fuzz::kMaxNameLength);
  const std::string key = provider.ConsumeRandomLengthString(fuzz::kMaxNameLength);
  const std::string value = provider.ConsumeRandomLengthString(fuzz::kMaxNameLength);
  const std::string text = provider.ConsumeRemainingBytesAsString();

  if (const std::optional<std::string> found = platform::FindIniValue(text, section, key)) {
    Require(found->find('\n') == std::string::npos, "a value found is within one line");
  }

  const std::optional<std::string> written = platform::SetIniValue(text, section, key, value);
  Require(written.has_value() != fuzz::MustRefuse(section, key, value),
          "a write is refused exactly for the listed names and values");
  if (!written) return 0;

  fuzz::CheckEveryOtherLineKept(text, *written, section, key, value);
  Require(platform::FindIniValue(*written, section, key) == fuzz::ReadBack(value),
          "the written value reads back");
  Require(platform::SetIniValue(*written, section, key, value) == written,
          "writing the same value again changes nothing");
  return 0;
}

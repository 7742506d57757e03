#include "tools/words/phrases.h"

#include <algorithm>

#include "core/hex_text.h"
#include "platform/firmware.h"

namespace nodmark::tools {
namespace {

constexpr int kBitsPerByte = 8;
constexpr int kSerialBytes = 4;
constexpr int kNibbleBits = 4;
constexpr std::uint32_t kNibbleMask = 0xF;
constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::string JoinNames(const std::vector<const char*>& names) {
  std::string joined;
  for (const char* name : names) joined += (joined.empty() ? "" : ", ") + std::string(name);
  return joined;
}

const char* VerdictCode(const sources::AdapterVerdict& verdict) {
  using Outcome = sources::AdapterVerdict::Outcome;
  using Rule = sources::AddressExclusion::Rule;
  switch (verdict.outcome) {
    case Outcome::kChosen:
      return "chosen";
    case Outcome::kSkippedForDescription:
      return "skipped_description";
    case Outcome::kSkippedForAddress:
      return verdict.exclusion.rule == Rule::kFilterEntry ? "skipped_filter_entry"
                                                          : "skipped_address_table";
    case Outcome::kNotReached:
      return "not_reached";
    case Outcome::kPastExamLimit:
      return "past_exam_limit";
  }
  return "unknown";
}

std::string VerdictPhrase(const sources::AdapterVerdict& verdict,
                          const sources::FilterEntries& filterEntries) {
  using Outcome = sources::AdapterVerdict::Outcome;
  using Rule = sources::AddressExclusion::Rule;
  switch (verdict.outcome) {
    case Outcome::kChosen:
      return "chosen";
    case Outcome::kSkippedForDescription:
      return "skipped: its description contains \"" + std::string(verdict.descriptionWord) + "\"";
    case Outcome::kSkippedForAddress: {
      const std::size_t index = verdict.exclusion.index;
      if (verdict.exclusion.rule == Rule::kFilterEntry) {
        // Without the entries (a report that withholds them) the entry goes unquoted.
        const std::string entry =
            index < filterEntries.size() ? ", \"" + filterEntries[index] + "\"" : "";
        return "skipped: its address matches entry " + std::to_string(index + 1) +
               " of the filter list" + entry;
      }
      return "skipped: its address matches row " + std::to_string(index) +
             " of the built-in address table";
    }
    case Outcome::kNotReached:
      return "not examined: an earlier adapter was chosen";
    case Outcome::kPastExamLimit:
      return "not examined: only the first " + std::to_string(sources::kMaxExaminedAdapters) +
             " adapters are";
  }
  return "unknown";
}

const char* MachineKeyCode(identifiers::MachineKey key) {
  switch (key) {
    case identifiers::MachineKey::kAdapter:
      return "adapter";
    case identifiers::MachineKey::kVolume:
      return "volume_serial";
    case identifiers::MachineKey::kNeither:
      return "fallback";
  }
  return "unknown";
}

std::string AddressText(const sources::AdapterAddress& address) {
  std::string text;
  core::AppendHexBytes(text, address.data(), address.size());
  return text;
}

std::string SerialText(std::uint32_t serial) {
  std::string text;
  for (int i = kSerialBytes - 1; i >= 0; --i) {
    core::AppendHexByte(text, static_cast<std::uint8_t>(serial >> (kBitsPerByte * i)));
  }
  return text;
}

std::string ProbeAddressText(const sources::FirmwareProbe& probe) {
  const auto address = static_cast<std::uint32_t>(platform::kFirmwareWindowBase + probe.offset);
  // Upper-case hex digits without leading zeros, as addresses are usually written.
  std::string digits;
  for (std::uint32_t rest = address; rest != 0; rest >>= kNibbleBits) {
    digits.insert(digits.begin(), kHexDigits[rest & kNibbleMask]);
  }
  return "0x" + (digits.empty() ? std::string("0") : digits);
}

std::string TextOf(const ByteString& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace nodmark::tools

#ifndef NODMARK_TOOLS_EXPLAINING_REPORT_CONTENTS_H_
#define NODMARK_TOOLS_EXPLAINING_REPORT_CONTENTS_H_

#include <bitset>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/explaining/explain_report.h"

// What of this machine a report gives away: hardware addresses, serials and texts that
// tie it to one machine, and so to a person. Whoever keeps or forwards a report is told
// which kinds it holds, by a stable code for programs ("contains" in --json) and by a
// phrase for people (--explain).
namespace nodmark::tools {

enum class Content : std::size_t {
  kIdentifiers,          // "identifiers": the three, whose first digits are an address or serial
  kAdapterAddresses,     // "adapter_addresses"
  kAdapterDescriptions,  // "adapter_descriptions"
  kFilterEntries,        // "filter_entries": address patterns, possibly whole addresses
  kVolumeSerial,         // "volume_serial"
  kProcessorSignature,   // "processor_signature"
  kFirmwareText,         // "firmware_text"
  kRandomId,             // "random_id": the stored value, unless it is "ZZZ"
  kStoreFilePath,        // "store_file_path"
  kReportNames,          // "report_names": the names --compare was given, which a path may hold
  kCount,
};

using Contents = std::bitset<static_cast<std::size_t>(Content::kCount)>;

Contents ContentsOf(std::initializer_list<Content> kinds);

// The kinds this machine's report holds: the identifiers always, each input only
// where the machine gave it.
Contents ReportContents(const ExplainReport& report);

// The kinds a report may be written without (nodmark --json --withhold): every kind
// but the identifiers, which are what a report is for, and the report names, which
// no report holds.
Contents WithholdableContents();

// The kind a code names; nullopt for a code this version does not know.
std::optional<Content> ContentOfCode(std::string_view code);

// Whether a stored value is a random identifier kept for this machine: "ZZZ", every
// failed store's value, is not, nor is any value that comes with the outcome code of
// a store that failed ("write_failed", "empty_value", "no_system_directory").
bool IsKeptRandomId(std::string_view value, std::string_view outcomeCode);

// The codes, in the order of Content.
std::vector<const char*> ContentCodes(const Contents& contents);

// One sentence for people, naming the hardware addresses and serials among the rest.
std::string ContentsSentence(const Contents& contents);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_REPORT_CONTENTS_H_

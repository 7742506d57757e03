#ifndef NODMARK_TOOLS_EXPLAIN_PHRASES_H_
#define NODMARK_TOOLS_EXPLAIN_PHRASES_H_

#include <string>
#include <string_view>
#include <vector>

#include "identifiers/identifier_recipes.h"
#include "platform/adapters.h"
#include "sources/adapter_source.h"
#include "sources/random_id_store.h"
#include "tools/explain_report.h"

// The words both renderings of an explanation use: a stable code for programs (JSON)
// and a phrase for people, for each verdict and outcome.
namespace nodmark::tools {

// The identifiers' names, as the component's properties and the reports call them.
inline constexpr char kOldName[] = "nodmark_old";
inline constexpr char kNewName[] = "nodmark_new";
inline constexpr char kComplicateName[] = "nodmark_complicate";

// The names joined with ", ".
std::string JoinNames(const std::vector<const char*>& names);

// "chosen", "skipped_description", "skipped_address_table", "skipped_filter_entry",
// "not_reached" or "past_exam_limit".
const char* VerdictCode(const sources::AdapterVerdict& verdict);

// For example: skipped: its description contains "Virtual".
std::string VerdictPhrase(const sources::AdapterVerdict& verdict,
                          const sources::FilterEntries& filterEntries);

// "adapter", "volume_serial" or "fallback".
const char* MachineKeyCode(identifiers::MachineKey key);

// "no_system_directory", "empty_value", "value_read", "value_read_after_wait",
// "value_written" or "write_failed".
const char* StoreOutcomeCode(sources::StoreOutcome outcome);

// "not_needed", "taken", "taken_over", "timed_out" or "unavailable".
const char* StoreLockCode(sources::StoreLock lock);

// The six address bytes as 12 upper-case hex digits.
std::string AddressText(const sources::AdapterAddress& address);

// Eight upper-case hex digits, most significant first.
std::string SerialText(std::uint32_t serial);

// The physical address of a firmware probe, as "0xFEC71".
std::string ProbeAddressText(const sources::FirmwareProbe& probe);

// Text of the sources' bytes (signatures are ASCII text, kept as bytes).
std::string TextOf(const ByteString& bytes);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAIN_PHRASES_H_

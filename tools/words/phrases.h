#ifndef NODMARK_TOOLS_WORDS_PHRASES_H_
#define NODMARK_TOOLS_WORDS_PHRASES_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/byte_string.h"
#include "identifiers/identifier_recipes.h"
#include "platform/adapters.h"
#include "sources/adapter_source.h"
#include "sources/firmware_probe.h"

// The words the renderings share: the identifiers' names, and a stable code for
// programs (JSON) and a phrase for people for each adapter verdict and machine key.
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

// The six address bytes as 12 upper-case hex digits.
std::string AddressText(const sources::AdapterAddress& address);

// Eight upper-case hex digits, most significant first.
std::string SerialText(std::uint32_t serial);

// The physical address of a firmware probe, as "0xFEC71".
std::string ProbeAddressText(const sources::FirmwareProbe& probe);

// Text of the sources' bytes (signatures are ASCII text, kept as bytes).
std::string TextOf(const ByteString& bytes);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_WORDS_PHRASES_H_

#ifndef NODMARK_TOOLS_EXPLAINING_IDENTIFIER_WARNINGS_H_
#define NODMARK_TOOLS_EXPLAINING_IDENTIFIER_WARNINGS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sources/adapter_source.h"
#include "tools/explaining/explain_report.h"

// Warnings of identifiers at risk: what this machine's identifiers rest on that is
// liable to change, or that other machines share. They are read off a report and
// change nothing the identifiers are computed from.
namespace nodmark::tools {

struct IdentifierWarning {
  // "locally_administered_address", "wireless_adapter", "removable_bus_adapter",
  // "random_id_write_refused", "random_id_empty", "random_id_no_store",
  // "shared_fallback" or "no_firmware_text".
  const char* code = "";
  // The identifiers it affects, among "nodmark_old", "nodmark_new" and
  // "nodmark_complicate", in that order.
  std::vector<const char*> identifiers;
  // The 0-based index of the chosen adapter an adapter warning is about.
  std::optional<std::size_t> adapter;
  std::string reason;  // for people: what is at risk and why
};

// The report's warnings, adapter warnings first (one per cause and chosen adapter),
// then the random identifier's, the fallback's and the firmware's. An adapter is named
// by its position and, unless `nameAddresses` is false, its address.
std::vector<IdentifierWarning> FindWarnings(const ExplainReport& report, bool nameAddresses = true);

// Bit 1 of the first byte: an address set by software, not the one the maker gave the
// card.
bool IsLocallyAdministered(const sources::AdapterAddress& address);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_IDENTIFIER_WARNINGS_H_

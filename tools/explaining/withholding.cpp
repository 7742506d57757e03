#include "tools/explaining/withholding.h"

#include "tools/words/phrases.h"

namespace nodmark::tools {
namespace {

bool Has(const Contents& contents, Content kind) {
  return contents.test(static_cast<std::size_t>(kind));
}

// The identifiers whose first 12 digits are keyed on `key`.
std::vector<const char*> KeyedOn(const ExplainReport& report, identifiers::MachineKey key) {
  std::vector<const char*> names;
  if (report.oldKey == key) names.push_back(kOldName);
  if (report.newKey == key) names.push_back(kNewName);
  return names;
}

void Note(std::vector<std::string>& notes, const char* kind, const std::vector<const char*>& names,
          const char* what) {
  if (names.empty()) return;
  notes.push_back(std::string(kind) + " withheld, but " + JoinNames(names) +
                  (names.size() == 1 ? " still gives " : " still give ") + what);
}

}  // namespace

WithholdRequest ParseWithheldKinds(const std::vector<std::string>& codes) {
  WithholdRequest request;
  const Contents withholdable = WithholdableContents();
  for (const std::string& code : codes) {
    const std::optional<Content> kind = ContentOfCode(code);
    if (!kind || !Has(withholdable, *kind)) {
      request.problem = "--withhold: " +
                        (kind ? "'" + code + "' cannot be withheld"
                              : "no kind of data is called '" + code + "'") +
                        "; the kinds a report can be written without are " +
                        JoinNames(ContentCodes(withholdable));
      return request;
    }
    request.kinds.set(static_cast<std::size_t>(*kind));
  }
  return request;
}

std::vector<std::string> ShowThroughNotes(const ExplainReport& report, const Contents& taken) {
  using identifiers::MachineKey;
  std::vector<std::string> notes;
  if (Has(taken, Content::kAdapterAddresses)) {
    Note(notes, "adapter_addresses", KeyedOn(report, MachineKey::kAdapter),
         "the chosen adapter's address in clear (digits 1 to 12)");
  }
  if (Has(taken, Content::kVolumeSerial)) {
    Note(notes, "volume_serial", KeyedOn(report, MachineKey::kVolume),
         "the volume serial in clear (digits 1 to 8, least significant byte first)");
  }
  if (Has(taken, Content::kRandomId)) {
    Note(notes, "random_id", {kNewName}, "the stored random identifier in clear (digits 13 to 15)");
  }
  return notes;
}

}  // namespace nodmark::tools

#include "tools/explaining/identifier_warnings.h"

#include <utility>

#include "tools/words/phrases.h"

namespace nodmark::tools {
namespace {

constexpr std::uint8_t kLocallyAdministeredBit = 0x02;

// One chosen adapter and the identifiers that rest on it.
struct ChosenAdapter {
  std::size_t index = 0;
  std::vector<const char*> identifiers;
};

// The legacy recipe's choice and the other two's: one entry when they chose the same
// adapter (always so without filter entries), two when the filter list parts them.
std::vector<ChosenAdapter> ChosenAdapters(const AdapterReport& adapters) {
  const std::optional<std::size_t> old = adapters.withoutFilterList.chosen;
  const std::optional<std::size_t> current = adapters.withFilterList.chosen;
  std::vector<ChosenAdapter> chosen;
  if (old && old == current) {
    chosen.push_back({*old, {kOldName, kNewName, kComplicateName}});
    return chosen;
  }
  if (old) chosen.push_back({*old, {kOldName}});
  if (current) chosen.push_back({*current, {kNewName, kComplicateName}});
  return chosen;
}

// By position and address: the description, bytes of the machine's, stays in the list.
std::string AdapterName(const AdapterReport& adapters, std::size_t index, bool nameAddress) {
  const std::string position = "adapter " + std::to_string(index + 1);
  if (!nameAddress) return position;
  return position + " (" + AddressText(adapters.listing->records[index].address) + ")";
}

// What puts an identifier at risk in the adapter it rests on, and why.
struct AdapterRisk {
  bool (*applies)(const platform::AdapterRecord& record);
  const char* code;
  const char* why;  // follows "the chosen adapter N (address)"
};

constexpr AdapterRisk kAdapterRisks[] = {
    {[](const platform::AdapterRecord& record) { return IsLocallyAdministered(record.address); },
     "locally_administered_address",
     " has a locally administered address (bit 1 of its first byte is set): it was set by "
     "software (a virtual machine, a randomised Wi-Fi address, some docking drivers) and is "
     "liable to change"},
    {[](const platform::AdapterRecord& record) { return record.wireless; }, "wireless_adapter",
     " is wireless: such adapters are switched off, removed or given randomised addresses more "
     "often than wired ones, and then another adapter or the volume serial takes its place"},
    {[](const platform::AdapterRecord& record) { return record.removableBus; },
     "removable_bus_adapter",
     " sits on a removable bus (USB): unplugged, it gives its place to another adapter or the "
     "volume serial"},
};

void AddAdapterWarnings(const AdapterReport& adapters, bool nameAddresses,
                        std::vector<IdentifierWarning>& warnings) {
  for (const ChosenAdapter& chosen : ChosenAdapters(adapters)) {
    const platform::AdapterRecord& record = adapters.listing->records[chosen.index];
    for (const AdapterRisk& risk : kAdapterRisks) {
      if (!risk.applies(record)) continue;
      warnings.push_back(
          {risk.code, chosen.identifiers, chosen.index,
           "the chosen " + AdapterName(adapters, chosen.index, nameAddresses) + risk.why});
    }
  }
}

void AddStoreWarning(const sources::StoredRandomIdReport& store,
                     std::vector<IdentifierWarning>& warnings) {
  // Compared one by one rather than switched over, so that an outcome added later
  // warns of nothing until it is meant to.
  if (store.outcome == sources::StoreOutcome::kWriteFailed) {
    warnings.push_back({"random_id_write_refused",
                        {kNewName},
                        std::nullopt,
                        "the random identifier is \"ZZZ\": the store file could not be "
                        "written (it needs administrator rights; root on Linux), so every run "
                        "draws again until one may write it, and nodmark_new changes then"});
  } else if (store.outcome == sources::StoreOutcome::kEmptyValue) {
    warnings.push_back({"random_id_empty",
                        {kNewName},
                        std::nullopt,
                        "the random identifier is \"ZZZ\": the store file holds an empty value, "
                        "and it stays \"ZZZ\" until someone removes that value"});
  } else if (store.outcome == sources::StoreOutcome::kNoSystemDirectory) {
    warnings.push_back({"random_id_no_store",
                        {kNewName},
                        std::nullopt,
                        "the random identifier is \"ZZZ\": there is no system directory to keep "
                        "it in"});
  }
}

void AddFallbackWarning(const ExplainReport& report, std::vector<IdentifierWarning>& warnings) {
  std::vector<const char*> identifiers;
  if (report.oldKey == identifiers::MachineKey::kNeither) identifiers.push_back(kOldName);
  if (report.newKey == identifiers::MachineKey::kNeither) {
    identifiers.push_back(kNewName);
    identifiers.push_back(kComplicateName);
  }
  if (identifiers.empty()) return;
  warnings.push_back({"shared_fallback", std::move(identifiers), std::nullopt,
                      "neither an adapter nor the serial of volume c:\\ is available: the "
                      "identifiers key on sixteen F's, which every such machine shares, and "
                      "the digest rests on the processor and the firmware alone"});
}

void AddFirmwareWarning(const FirmwareReport& firmware, std::vector<IdentifierWarning>& warnings) {
  if (firmware.match) return;
  const std::string why = firmware.mapped ? "no probe found a firmware text"
                                          : "the firmware memory could not be mapped";
  warnings.push_back({"no_firmware_text",
                      {kComplicateName},
                      std::nullopt,
                      "no firmware text (" + why +
                          "): the digest rests on fewer inputs, and it changes if a later "
                          "run reads a text (on Linux, a run as root)"});
}

}  // namespace

bool IsLocallyAdministered(const sources::AdapterAddress& address) {
  return (address[0] & kLocallyAdministeredBit) != 0;
}

std::vector<IdentifierWarning> FindWarnings(const ExplainReport& report, bool nameAddresses) {
  std::vector<IdentifierWarning> warnings;
  if (report.adapters.listing) AddAdapterWarnings(report.adapters, nameAddresses, warnings);
  AddStoreWarning(report.store, warnings);
  AddFallbackWarning(report, warnings);
  AddFirmwareWarning(report.firmware, warnings);
  return warnings;
}

}  // namespace nodmark::tools

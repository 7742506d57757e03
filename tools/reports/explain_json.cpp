#include "tools/reports/explain_json.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/hex_text.h"
#include "identifiers/digest_text.h"
#include "tools/explaining/identifier_warnings.h"
#include "tools/explaining/report_contents.h"
#include "tools/reports/json_text.h"
#include "tools/words/phrases.h"
#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

// Every text goes through JsonText, so no byte of the machine's can make the dump fail.
Json TextOrNull(const std::optional<std::string>& text) {
  return text ? JsonText(*text) : Json(nullptr);
}

Json Verdict(const sources::AdapterVerdict& verdict, const sources::FilterEntries& filterEntries) {
  using Outcome = sources::AdapterVerdict::Outcome;
  using Rule = sources::AddressExclusion::Rule;
  Json json = {{"outcome", JsonText(VerdictCode(verdict))}};
  if (verdict.outcome == Outcome::kSkippedForDescription) {
    json["word"] = JsonText(verdict.descriptionWord);
  } else if (verdict.outcome == Outcome::kSkippedForAddress) {
    if (verdict.exclusion.rule == Rule::kFilterEntry) {
      json["filter_entry"] = static_cast<std::int64_t>(verdict.exclusion.index) + 1;
    } else {
      json["table_row"] = static_cast<std::int64_t>(verdict.exclusion.index);
    }
  }
  json["reason"] = JsonText(VerdictPhrase(verdict, filterEntries));
  return json;
}

// The 1-based position of the chosen adapter, or null.
Json Chosen(const sources::AdapterVerdicts& verdicts) {
  return verdicts.chosen ? Json(static_cast<std::int64_t>(*verdicts.chosen) + 1) : Json(nullptr);
}

// `phraseEntries`: the filter entries the verdicts' reasons may quote.
Json Adapters(const AdapterReport& adapters, const sources::FilterEntries& phraseEntries) {
  Json entries = Json::array();
  for (const std::string& entry : adapters.filterEntries) entries.push_back(JsonText(entry));
  Json list = Json::array();
  for (std::size_t i = 0; adapters.listing && i < adapters.withoutFilterList.count; ++i) {
    const platform::AdapterRecord& record = adapters.listing->records[i];
    list.push_back({
        {"position", static_cast<std::int64_t>(i) + 1},
        {"description", JsonText(sources::AdapterDescription(record))},
        {"address", JsonText(AddressText(record.address))},
        {"wireless", record.wireless},
        {"removable_bus", record.removableBus},
        {"verdict", Verdict(adapters.withoutFilterList.verdicts[i], phraseEntries)},
        {"verdict_with_filter_list", Verdict(adapters.withFilterList.verdicts[i], phraseEntries)},
    });
  }
  return {
      {"listed", adapters.listing.has_value()},
      {"examined_at_most", static_cast<std::int64_t>(sources::kMaxExaminedAdapters)},
      {"filter_entries", std::move(entries)},
      {"list", std::move(list)},
      {"chosen", Chosen(adapters.withoutFilterList)},
      {"chosen_with_filter_list", Chosen(adapters.withFilterList)},
  };
}

Json OptionalHex(const identifiers::SourceBytes& bytes) {
  if (!bytes) return nullptr;
  std::string hex;
  core::AppendHexBytes(hex, *bytes);
  return JsonText(hex);
}

Json Volume(const identifiers::SourceBytes& volume) {
  return {
      {"root", JsonText("c:\\")},
      {"serial", TextOrNull(volume ? std::optional(SerialText(SerialFromSourceBytes(*volume)))
                                   : std::nullopt)},
      {"source_bytes", OptionalHex(volume)},
  };
}

Json Processor(const identifiers::SourceBytes& signature) {
  const std::string text = signature ? TextOf(*signature) : std::string();
  return {{"available", !text.empty()}, {"signature", JsonText(text)}};
}

Json Firmware(const FirmwareReport& firmware) {
  std::optional<std::string> probe, address, text;
  if (firmware.match) {
    const sources::FirmwareProbe& matched = sources::kFirmwareProbes[firmware.match->probe];
    probe = matched.name;
    address = ProbeAddressText(matched);
    text = firmware.match->text;
  }
  return {
      {"mapped", firmware.mapped},
      {"probe", TextOrNull(probe)},
      {"physical_address", TextOrNull(address)},
      {"text", TextOrNull(text)},
  };
}

Json Store(const sources::StoredRandomIdReport& store, const std::string& tag) {
  return {
      {"path", TextOrNull(store.filePath.empty() ? std::nullopt : std::optional(store.filePath))},
      {"value", JsonText(store.value)},
      {"outcome", JsonText(StoreOutcomeCode(store.outcome))},
      {"reason", JsonText(StoreOutcomePhrase(store.outcome))},
      {"lock", JsonText(StoreLockCode(store.lock))},
      {"settings_tag", JsonText(tag)},
  };
}

Json Names(const std::vector<const char*>& names) {
  Json array = Json::array();
  for (const char* name : names) array.push_back(name);
  return array;
}

Json Warnings(const ExplainReport& report, bool nameAddresses) {
  Json warnings = Json::array();
  for (const IdentifierWarning& warning : FindWarnings(report, nameAddresses)) {
    Json json = {{"code", warning.code}, {"identifiers", Names(warning.identifiers)}};
    if (warning.adapter) json["adapter"] = static_cast<std::int64_t>(*warning.adapter) + 1;
    json["reason"] = JsonText(warning.reason);
    warnings.push_back(std::move(json));
  }
  return warnings;
}

Json Digest(const ExplainReport& report) {
  const identifiers::DigestParts& parts = report.digestParts;
  return {
      {"parts",
       {
           {"adapter", JsonText(parts.adapter)},
           {"volume", JsonText(parts.volume)},
           {"processor", JsonText(parts.processor)},
           {"firmware", JsonText(parts.firmware)},
       }},
      {"start_marker", JsonText(identifiers::kDigestStartMarker)},
      {"hex_data", JsonText(report.digestHexData)},
      {"end_marker", JsonText(identifiers::kDigestEndMarker)},
  };
}

bool Has(const Contents& contents, Content kind) {
  return contents.test(static_cast<std::size_t>(kind));
}

// Sets every member that holds a kind taken out to null: its values, its hex in the
// volume's source bytes and the digest's parts, and the hashed text, which holds them
// all. The phrases that quote such values are made without them.
void Withhold(Json& json, const Contents& taken) {
  const auto part = [&json](const char* name) -> Json& { return json["digest"]["parts"][name]; };
  for (Json& adapter : json["adapters"]["list"]) {
    if (Has(taken, Content::kAdapterAddresses)) adapter["address"] = nullptr;
    if (Has(taken, Content::kAdapterDescriptions)) adapter["description"] = nullptr;
  }
  if (Has(taken, Content::kAdapterAddresses)) part("adapter") = nullptr;
  if (Has(taken, Content::kFilterEntries)) json["adapters"]["filter_entries"] = nullptr;
  if (Has(taken, Content::kVolumeSerial)) {
    json["volume"]["serial"] = json["volume"]["source_bytes"] = part("volume") = nullptr;
  }
  if (Has(taken, Content::kProcessorSignature)) {
    json["processor"]["signature"] = part("processor") = nullptr;
  }
  if (Has(taken, Content::kFirmwareText)) json["firmware"]["text"] = part("firmware") = nullptr;
  if (Has(taken, Content::kRandomId)) json["store"]["value"] = nullptr;
  if (Has(taken, Content::kStoreFilePath)) json["store"]["path"] = nullptr;
  const Contents hashed = ContentsOf({Content::kAdapterAddresses, Content::kVolumeSerial,
                                      Content::kProcessorSignature, Content::kFirmwareText});
  if ((taken & hashed).any()) json["digest"]["hex_data"] = nullptr;
}

}  // namespace

std::string RenderExplainJson(const ExplainReport& report,
                              const std::optional<Contents>& withhold) {
  const Contents held = ReportContents(report);
  const Contents taken = withhold ? held & *withhold : Contents();
  const bool entriesTaken = Has(taken, Content::kFilterEntries);
  Json json = {
      {"nodmark_old", JsonText(report.nodmarkOld)},
      {"nodmark_new", JsonText(report.nodmarkNew)},
      {"nodmark_complicate", JsonText(report.nodmarkComplicate)},
      {"keys",
       {
           {"nodmark_old", JsonText(MachineKeyCode(report.oldKey))},
           {"nodmark_new", JsonText(MachineKeyCode(report.newKey))},
       }},
      {"contains", Names(ContentCodes(held & ~taken))},
  };
  if (withhold) json["withheld"] = Names(ContentCodes(taken));
  // Not a kind of data of their own: whoever holds the identifiers and the name
  // computes them, so "contains" is the same with them, and they go as the
  // identifiers do.
  if (const std::optional<ApplicationForms>& forms = report.forApplication) {
    json["for_application"] = {
        {"application", JsonText(forms->application)},
        {"nodmark_old_for", JsonText(forms->nodmarkOldFor)},
        {"nodmark_new_for", JsonText(forms->nodmarkNewFor)},
        {"nodmark_complicate_for", JsonText(forms->nodmarkComplicateFor)},
    };
  }
  json["warnings"] = Warnings(report, !Has(taken, Content::kAdapterAddresses));
  json["adapters"] = Adapters(
      report.adapters, entriesTaken ? sources::FilterEntries{} : report.adapters.filterEntries);
  json["volume"] = Volume(report.volumeSerial);
  json["processor"] = Processor(report.processorSignature);
  json["firmware"] = Firmware(report.firmware);
  json["store"] = Store(report.store, report.settingsTag);
  json["digest"] = Digest(report);
  Withhold(json, taken);
  return DumpJson(json);
}

}  // namespace nodmark::tools

#include "tools/explain_json.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/hex_text.h"
#include "identifiers/digest_text.h"
#include "tools/explain_phrases.h"
#include "tools/json_text.h"

namespace nodmark::tools {
namespace {

void WriteVerdict(JsonWriter& json, const sources::AdapterVerdict& verdict,
                  const sources::FilterEntries& filterEntries) {
  using Outcome = sources::AdapterVerdict::Outcome;
  using Rule = sources::AddressExclusion::Rule;
  json.BeginObject();
  json.Key("outcome");
  json.String(VerdictCode(verdict));
  if (verdict.outcome == Outcome::kSkippedForDescription) {
    json.Key("word");
    json.String(verdict.descriptionWord);
  } else if (verdict.outcome == Outcome::kSkippedForAddress) {
    if (verdict.exclusion.rule == Rule::kFilterEntry) {
      json.Key("filter_entry");
      json.Number(static_cast<std::int64_t>(verdict.exclusion.index) + 1);
    } else {
      json.Key("table_row");
      json.Number(static_cast<std::int64_t>(verdict.exclusion.index));
    }
  }
  json.Key("reason");
  json.String(VerdictPhrase(verdict, filterEntries));
  json.EndObject();
}

// The 1-based position of the chosen adapter, or null.
void WriteChosen(JsonWriter& json, const sources::AdapterVerdicts& verdicts) {
  if (verdicts.chosen) {
    json.Number(static_cast<std::int64_t>(*verdicts.chosen) + 1);
  } else {
    json.Null();
  }
}

void WriteAdapters(JsonWriter& json, const AdapterReport& adapters) {
  json.BeginObject();
  json.Key("listed");
  json.Bool(adapters.listing.has_value());
  json.Key("examined_at_most");
  json.Number(static_cast<std::int64_t>(sources::kMaxExaminedAdapters));
  json.Key("filter_entries");
  json.BeginArray();
  for (const std::string& entry : adapters.filterEntries) json.String(entry);
  json.EndArray();
  json.Key("list");
  json.BeginArray();
  for (std::size_t i = 0; adapters.listing && i < adapters.withoutFilterList.count; ++i) {
    const platform::AdapterRecord& record = adapters.listing->records[i];
    json.BeginObject();
    json.Key("position");
    json.Number(static_cast<std::int64_t>(i) + 1);
    json.Key("description");
    json.String(sources::AdapterDescription(record));
    json.Key("address");
    json.String(AddressText(record.address));
    json.Key("verdict");
    WriteVerdict(json, adapters.withoutFilterList.verdicts[i], adapters.filterEntries);
    json.Key("verdict_with_filter_list");
    WriteVerdict(json, adapters.withFilterList.verdicts[i], adapters.filterEntries);
    json.EndObject();
  }
  json.EndArray();
  json.Key("chosen");
  WriteChosen(json, adapters.withoutFilterList);
  json.Key("chosen_with_filter_list");
  WriteChosen(json, adapters.withFilterList);
  json.EndObject();
}

void WriteStringOrNull(JsonWriter& json, const std::optional<std::string>& text) {
  if (text) {
    json.String(*text);
  } else {
    json.Null();
  }
}

void WriteOptionalHex(JsonWriter& json, const core::SourceBytes& bytes) {
  if (!bytes) {
    json.Null();
    return;
  }
  std::string hex;
  core::AppendHexBytes(hex, *bytes);
  json.String(hex);
}

void WriteVolume(JsonWriter& json, const core::SourceBytes& volume) {
  json.BeginObject();
  json.Key("root");
  json.String("c:\\");
  json.Key("serial");
  WriteStringOrNull(
      json, volume ? std::optional(SerialText(SerialFromSourceBytes(*volume))) : std::nullopt);
  json.Key("source_bytes");
  WriteOptionalHex(json, volume);
  json.EndObject();
}

void WriteProcessor(JsonWriter& json, const core::SourceBytes& signature) {
  const std::string text = signature ? TextOf(*signature) : std::string();
  json.BeginObject();
  json.Key("available");
  json.Bool(!text.empty());
  json.Key("signature");
  json.String(text);
  json.EndObject();
}

void WriteFirmware(JsonWriter& json, const FirmwareReport& firmware) {
  std::optional<std::string> probe, address, text;
  if (firmware.match) {
    const sources::FirmwareProbe& matched = sources::kFirmwareProbes[firmware.match->probe];
    probe = matched.name;
    address = ProbeAddressText(matched);
    text = firmware.match->text;
  }
  json.BeginObject();
  json.Key("mapped");
  json.Bool(firmware.mapped);
  json.Key("probe");
  WriteStringOrNull(json, probe);
  json.Key("physical_address");
  WriteStringOrNull(json, address);
  json.Key("text");
  WriteStringOrNull(json, text);
  json.EndObject();
}

void WriteStore(JsonWriter& json, const sources::StoredRandomIdReport& store,
                const std::string& tag) {
  json.BeginObject();
  json.Key("path");
  WriteStringOrNull(json, store.filePath.empty() ? std::nullopt : std::optional(store.filePath));
  json.Key("value");
  json.String(store.value);
  json.Key("outcome");
  json.String(StoreOutcomeCode(store.outcome));
  json.Key("reason");
  json.String(sources::DescribeStoreOutcome(store.outcome));
  json.Key("settings_tag");
  json.String(tag);
  json.EndObject();
}

void WriteDigest(JsonWriter& json, const ExplainReport& report) {
  const core::DigestParts& parts = report.digestParts;
  json.BeginObject();
  json.Key("parts");
  json.BeginObject();
  json.Key("adapter");
  json.String(parts.adapter);
  json.Key("volume");
  json.String(parts.volume);
  json.Key("processor");
  json.String(parts.processor);
  json.Key("firmware");
  json.String(parts.firmware);
  json.EndObject();
  json.Key("start_marker");
  json.String(core::kDigestStartMarker);
  json.Key("hex_data");
  json.String(report.digestHexData);
  json.Key("end_marker");
  json.String(core::kDigestEndMarker);
  json.EndObject();
}

}  // namespace

std::string RenderExplainJson(const ExplainReport& report) {
  JsonWriter json;
  json.BeginObject();
  json.Key("nodmark_old");
  json.String(report.nodmarkOld);
  json.Key("nodmark_new");
  json.String(report.nodmarkNew);
  json.Key("nodmark_complicate");
  json.String(report.nodmarkComplicate);
  json.Key("keys");
  json.BeginObject();
  json.Key("nodmark_old");
  json.String(MachineKeyCode(report.oldKey));
  json.Key("nodmark_new");
  json.String(MachineKeyCode(report.newKey));
  json.EndObject();
  json.Key("adapters");
  WriteAdapters(json, report.adapters);
  json.Key("volume");
  WriteVolume(json, report.volumeSerial);
  json.Key("processor");
  WriteProcessor(json, report.processorSignature);
  json.Key("firmware");
  WriteFirmware(json, report.firmware);
  json.Key("store");
  WriteStore(json, report.store, report.settingsTag);
  json.Key("digest");
  WriteDigest(json, report);
  json.EndObject();
  return json.text();
}

}  // namespace nodmark::tools

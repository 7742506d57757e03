#include "tools/comparing/comparison_json.h"

#include <string_view>

#include "tools/explaining/report_contents.h"
#include "tools/reports/json_text.h"

namespace nodmark::tools {
namespace {

Json Names(const std::vector<const char*>& names) {
  Json array = Json::array();
  for (const char* name : names) array.push_back(name);
  return array;
}

Json TextOrNull(const std::optional<std::string>& text) {
  return text ? JsonText(*text) : Json(nullptr);
}

Json Identifiers(const Comparison& comparison) {
  Json identifiers = Json::object();
  for (const IdentifierComparison& identifier : comparison.identifiers) {
    identifiers[identifier.name] = {
        {"same", identifier.same()},
        {"before", JsonText(identifier.before)},
        {"after", JsonText(identifier.after)},
        {"moved_by", Names(identifier.movedBy)},
    };
  }
  return identifiers;
}

Json Inconsistencies(const Comparison& comparison) {
  Json inconsistencies = Json::array();
  for (const Inconsistency& inconsistency : comparison.inconsistencies) {
    inconsistencies.push_back({
        {"report", JsonText(inconsistency.report)},
        {"identifier", inconsistency.identifier},
        {"stated", JsonText(inconsistency.stated)},
        {"composed", JsonText(inconsistency.composed)},
    });
  }
  return inconsistencies;
}

Json Changes(const Comparison& comparison) {
  Json changes = Json::array();
  for (const InputChange& change : comparison.changes) {
    Json lines = Json::array();
    for (const std::string& line : change.lines) lines.push_back(JsonText(line));
    changes.push_back({
        {"input", change.input},
        {"change", change.change},
        {"identifiers", Names(change.identifiers)},
        {"before", TextOrNull(change.before)},
        {"after", TextOrNull(change.after)},
        {"text", std::move(lines)},
    });
  }
  return changes;
}

Json Shared(const Comparison& comparison) {
  Json shared = Json::array();
  for (const SharedInput& input : comparison.shared) {
    shared.push_back({
        {"input", input.input},
        {"value", JsonText(input.value)},
        {"identifiers", Names(input.identifiers)},
        {"note", JsonText(input.note)},
    });
  }
  return shared;
}

// The kind of data an input's values are ("before", "after", a shared "value"); none
// for the settings tag and the fallback, which are alike on many machines.
Contents ValueContents(std::string_view input) {
  if (input == "adapter" || input == "adapter_listing") {
    return ContentsOf({Content::kAdapterAddresses});
  }
  if (input == "volume_serial") return ContentsOf({Content::kVolumeSerial});
  if (input == "processor") return ContentsOf({Content::kProcessorSignature});
  if (input == "firmware") return ContentsOf({Content::kFirmwareText});
  if (input == "random_id") return ContentsOf({Content::kRandomId});
  return {};
}

// What a change's lines may quote beside its values: adapters are named by address and
// description, with the filter entry that skips one or the serial that stands in for
// none; a store file that is another one is named by its path.
Contents LineContents(std::string_view input) {
  if (input == "adapter") {
    return ContentsOf(
        {Content::kAdapterDescriptions, Content::kFilterEntries, Content::kVolumeSerial});
  }
  if (input == "adapter_listing") return ContentsOf({Content::kAdapterDescriptions});
  if (input == "random_id") return ContentsOf({Content::kStoreFilePath});
  return {};
}

// Both readings' identifiers, and of their inputs only those that moved or are shared.
Json Contained(const Comparison& comparison) {
  Contents contents = ContentsOf({Content::kIdentifiers});
  for (const InputChange& change : comparison.changes) {
    contents |= ValueContents(change.input) | LineContents(change.input);
  }
  for (const SharedInput& input : comparison.shared) contents |= ValueContents(input.input);
  return Names(ContentCodes(contents));
}

}  // namespace

std::string RenderComparisonJson(const Comparison& comparison) {
  return DumpJson({
      {"before", JsonText(comparison.beforeName)},
      {"after", JsonText(comparison.afterName)},
      {"all_same", comparison.AllSame()},
      {"contains", Contained(comparison)},
      {"identifiers", Identifiers(comparison)},
      {"inconsistencies", Inconsistencies(comparison)},
      {"changes", Changes(comparison)},
      {"shared", Shared(comparison)},
  });
}

}  // namespace nodmark::tools

#include "tools/comparing/comparison_json.h"

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

Json Uncompared(const Comparison& comparison) {
  Json uncompared = Json::array();
  for (const UncomparedInput& input : comparison.uncompared) {
    Json reports = Json::array();
    for (const std::string& report : input.reports) reports.push_back(JsonText(report));
    uncompared.push_back({
        {"input", input.input},
        {"withheld", Names(ContentCodes(input.withheld))},
        {"reports", std::move(reports)},
    });
  }
  return uncompared;
}

// What this output holds: the identifiers and the report names always, and what its
// changes and shared inputs hold.
Json Contained(const Comparison& comparison) {
  Contents contents = ContentsOf({Content::kIdentifiers, Content::kReportNames});
  for (const InputChange& change : comparison.changes) contents |= change.contents;
  for (const SharedInput& input : comparison.shared) contents |= input.contents;
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
      {"not_compared", Uncompared(comparison)},
      {"shared", Shared(comparison)},
  });
}

}  // namespace nodmark::tools

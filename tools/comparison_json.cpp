#include "tools/comparison_json.h"

#include "tools/json_text.h"

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

}  // namespace

std::string RenderComparisonJson(const Comparison& comparison) {
  return DumpJson({
      {"before", JsonText(comparison.beforeName)},
      {"after", JsonText(comparison.afterName)},
      {"all_same", comparison.AllSame()},
      {"identifiers", Identifiers(comparison)},
      {"inconsistencies", Inconsistencies(comparison)},
      {"changes", Changes(comparison)},
      {"shared", Shared(comparison)},
  });
}

}  // namespace nodmark::tools

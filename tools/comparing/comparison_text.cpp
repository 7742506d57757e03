#include "tools/comparing/comparison_text.h"

#include <cstring>
#include <string_view>

#include "tools/explaining/explain_text.h"
#include "tools/explaining/report_contents.h"
#include "tools/words/phrases.h"

namespace nodmark::tools {
namespace {

constexpr int kNameColumn = 20;

// How the text names each input: as a heading of what moved, and before a shared value.
struct InputTitle {
  const char* input;
  const char* heading;
  const char* shared;
};

constexpr InputTitle kInputTitles[] = {
    {"adapter", "Network adapter", "adapter address"},
    {"adapter_listing", "Adapter listing", "adapter listing"},
    {"volume_serial", "Volume c:\\ serial", "volume serial"},
    {"fallback", "No adapter and no volume serial", "the fallback"},
    {"processor", "Processor signature", "processor signature"},
    {"firmware", "Firmware text", "firmware text"},
    {"random_id", "Random identifier", "stored random identifier"},
    {"settings_tag", "Settings tag", "settings tag"},
};

const InputTitle& TitleOf(const char* input) {
  for (const InputTitle& entry : kInputTitles) {
    if (std::strcmp(entry.input, input) == 0) return entry;
  }
  static const InputTitle unknown = {"", "Input", "input"};
  return unknown;
}

std::string Padded(std::string_view name) {
  std::string text(name);
  text.resize(std::max<std::size_t>(text.size() + 1, kNameColumn), ' ');
  return text;
}

void Line(std::string& out, const std::string& text) {
  out += text;
  out += '\n';
}

std::string Summary(const Comparison& comparison) {
  std::vector<const char*> changed;
  for (const IdentifierComparison& identifier : comparison.identifiers) {
    if (!identifier.same()) changed.push_back(identifier.name);
  }
  const std::string readings = QuoteText(comparison.beforeName) + " (before) and " +
                               QuoteText(comparison.afterName) + " (after)";
  if (changed.empty()) return "All three identifiers are the same in " + readings + ".";
  return JoinNames(changed) + (changed.size() == 1 ? " differs" : " differ") + " between " +
         readings + ".";
}

void RenderIdentifiers(const Comparison& comparison, std::string& out) {
  for (const IdentifierComparison& identifier : comparison.identifiers) {
    if (identifier.same()) {
      Line(out, Padded(identifier.name) + "same     " + identifier.before);
    } else {
      Line(out,
           Padded(identifier.name) + "changed  " + identifier.before + " -> " + identifier.after);
    }
  }
}

void RenderInconsistencies(const Comparison& comparison, std::string& out) {
  for (const Inconsistency& inconsistency : comparison.inconsistencies) {
    Line(out, QuoteText(inconsistency.report) + " does not hold together: its " +
                  inconsistency.identifier + " is " + QuoteText(inconsistency.stated) +
                  ", but its own inputs give " + QuoteText(inconsistency.composed) + ".");
  }
  Line(out,
       "A report that contradicts itself was edited or damaged; its inputs explain nothing, "
       "so none is compared. Save the report again with nodmark --json.");
}

void RenderChanges(const Comparison& comparison, std::string& out) {
  Line(out, "");
  Line(out, "What moved");
  if (comparison.changes.empty()) {
    Line(out, comparison.uncompared.empty() ? "  nothing: every input is as it was"
                                            : "  nothing among the inputs both reports hold");
  }
  for (const InputChange& change : comparison.changes) {
    const std::string moved = change.identifiers.empty() ? "moved no identifier"
                                                         : "moved " + JoinNames(change.identifiers);
    Line(out, std::string("  ") + TitleOf(change.input).heading + ": " + moved);
    for (const std::string& line : change.lines) Line(out, "    " + line);
  }
}

void RenderUncompared(const Comparison& comparison, std::string& out) {
  if (comparison.uncompared.empty()) return;
  Line(out, "");
  Line(out, "Not compared: withheld from a report");
  for (const UncomparedInput& input : comparison.uncompared) {
    std::string reports;
    for (const std::string& report : input.reports) {
      reports += (reports.empty() ? "" : " and ") + QuoteText(report);
    }
    Line(out, std::string("  ") + TitleOf(input.input).heading + ": " +
                  JoinNames(ContentCodes(input.withheld)) + " withheld from " + reports);
  }
}

std::string SharedValue(const SharedInput& input) {
  const std::string_view kind = input.input;
  if (kind == "processor" || kind == "firmware" || kind == "random_id") {
    return QuoteText(input.value);
  }
  return input.value;
}

void RenderShared(const Comparison& comparison, std::string& out) {
  if (comparison.shared.empty()) return;
  Line(out, "");
  Line(out,
       "What the identifiers that match rest on (if the reports come from two machines, "
       "this is what they share)");
  for (const SharedInput& input : comparison.shared) {
    Line(out, "  " + JoinNames(input.identifiers) + ": " + TitleOf(input.input).shared + " " +
                  SharedValue(input) + "; " + input.note);
  }
}

}  // namespace

std::string RenderComparisonText(const Comparison& comparison) {
  std::string out;
  Line(out, Summary(comparison));
  Line(out, "");
  RenderIdentifiers(comparison, out);
  if (!comparison.inconsistencies.empty()) {
    Line(out, "");
    RenderInconsistencies(comparison, out);
    return out;
  }
  RenderChanges(comparison, out);
  RenderUncompared(comparison, out);
  RenderShared(comparison, out);
  return out;
}

}  // namespace nodmark::tools

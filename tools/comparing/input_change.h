#ifndef NODMARK_TOOLS_COMPARING_INPUT_CHANGE_H_
#define NODMARK_TOOLS_COMPARING_INPUT_CHANGE_H_

#include <optional>
#include <string>
#include <vector>

#include "tools/explaining/report_contents.h"
#include "tools/reports/saved_report.h"

// What the parts of a comparison hand each other: a reading with what its inputs
// compose, and one input that moved between two readings.
namespace nodmark::tools {

struct ComposedReport {
  const SavedReport& report;
  const ComposedReading& composed;
};

// One input that differs between the readings.
struct InputChange {
  // "adapter", "adapter_listing", "volume_serial", "processor", "firmware",
  // "random_id" or "settings_tag".
  const char* input = "";
  // What happened, for programs: for the adapter "gone", "skipped", "past_exam_limit",
  // "listing_refused", "ranked_ahead", "now_chosen", "none_chosen", "moved" or
  // "described_otherwise"; for the others "changed", "appeared" or "disappeared", and
  // for the random identifier "redrawn", "write_refused", "emptied", "no_store" or
  // "changed"; "probe_changed" for a firmware text found elsewhere.
  const char* change = "";
  // The identifiers it moved, in their order; empty when it moved none.
  std::vector<const char*> identifiers;
  // The input's value in each reading (an address, a serial, a text); nullopt for none.
  std::optional<std::string> before;
  std::optional<std::string> after;
  // For people: what moved and how, one sentence a line, texts from the machine quoted.
  std::vector<std::string> lines;
  // The kinds of machine data that the values and the lines hold.
  Contents contents;
};

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_COMPARING_INPUT_CHANGE_H_

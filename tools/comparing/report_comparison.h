#ifndef NODMARK_TOOLS_COMPARING_REPORT_COMPARISON_H_
#define NODMARK_TOOLS_COMPARING_REPORT_COMPARISON_H_

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tools/comparing/input_change.h"
#include "tools/reports/saved_report.h"

// Two readings of the identifiers compared (nodmark --compare): which identifiers
// changed, every input that moved and how, and what identical identifiers rest on.
// Pure: reads nothing but its arguments.
namespace nodmark::tools {

struct IdentifierComparison {
  const char* name = "";  // "nodmark_old", "nodmark_new" or "nodmark_complicate"
  std::string before;
  std::string after;
  std::vector<const char*> movedBy;  // the `input` of each change that moved it

  bool same() const { return before == after; }
};

// An input that identical identifiers rest on in both readings; were the readings
// from two machines, it is why those identifiers match.
struct SharedInput {
  // "adapter", "volume_serial", "fallback", "random_id", "processor" or "firmware".
  const char* input = "";
  std::string value;
  std::vector<const char*> identifiers;
  std::string note;   // what two machines sharing it have in common
  Contents contents;  // the kinds of machine data its value is
};

// An input left out of the comparison because a report was written without what
// comparing it takes (nodmark --json --withhold).
struct UncomparedInput {
  const char* input = "";            // as InputChange's
  Contents withheld;                 // the kinds it takes that were withheld
  std::vector<std::string> reports;  // the names of the reports that withheld them
};

// A stated identifier that the report's own inputs do not give.
struct Inconsistency {
  std::string report;  // the report's name
  const char* identifier = "";
  std::string stated;
  std::string composed;
};

struct Comparison {
  std::string beforeName;
  std::string afterName;
  std::array<IdentifierComparison, 3> identifiers;
  // When a report contradicts itself, its inputs explain nothing: the changes and
  // shared inputs are then left empty.
  std::vector<Inconsistency> inconsistencies;
  std::vector<InputChange> changes;
  std::vector<UncomparedInput> uncompared;
  std::vector<SharedInput> shared;

  bool AllSame() const;
};

Comparison CompareReports(const SavedReport& before, const SavedReport& after);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_COMPARING_REPORT_COMPARISON_H_

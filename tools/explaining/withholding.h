#ifndef NODMARK_TOOLS_EXPLAINING_WITHHOLDING_H_
#define NODMARK_TOOLS_EXPLAINING_WITHHOLDING_H_

#include <string>
#include <vector>

#include "tools/explaining/explain_report.h"
#include "tools/explaining/report_contents.h"

// A report written without kinds of data its sender keeps back (nodmark --json
// --withhold KIND[,KIND...]), and what of them the identifiers still give.
namespace nodmark::tools {

struct WithholdRequest {
  Contents kinds;
  std::string problem;  // for people, naming the kinds there are; empty when all are known
};

// The kinds the codes name. A code that names no kind, or one that cannot be withheld
// (see WithholdableContents), is a problem.
WithholdRequest ParseWithheldKinds(const std::vector<std::string>& codes);

// One line for people for each kind taken out that an identifier still gives in
// clear: the adapter address or the volume serial in the first 12 digits of
// nodmark_old or nodmark_new, the stored random identifier in nodmark_new.
std::vector<std::string> ShowThroughNotes(const ExplainReport& report, const Contents& taken);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_WITHHOLDING_H_

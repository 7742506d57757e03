#ifndef NODMARK_TOOLS_REPORTS_EXPLAIN_JSON_H_
#define NODMARK_TOOLS_REPORTS_EXPLAIN_JSON_H_

#include <optional>
#include <string>

#include "tools/explaining/explain_report.h"
#include "tools/explaining/report_contents.h"

namespace nodmark::tools {

// The report as one JSON object (nodmark --json), ending in a line break. The three
// identifiers are its members "nodmark_old", "nodmark_new" and "nodmark_complicate";
// "contains" names the kinds of this machine's data the report holds (ContentCodes);
// "warnings" lists the identifiers at risk; the inputs follow under "adapters",
// "volume", "processor", "firmware", "store" and "digest". Texts are written as JsonText and
// DumpJson describe: ASCII, byte for byte.
// With `withhold` (nodmark --json --withhold), the kinds of it that the report holds
// are taken out: every member that holds one is null, "contains" names what is left
// and "withheld" what was taken out.
std::string RenderExplainJson(const ExplainReport& report,
                              const std::optional<Contents>& withhold = std::nullopt);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_REPORTS_EXPLAIN_JSON_H_

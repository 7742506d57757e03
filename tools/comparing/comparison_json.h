#ifndef NODMARK_TOOLS_COMPARING_COMPARISON_JSON_H_
#define NODMARK_TOOLS_COMPARING_COMPARISON_JSON_H_

#include <string>

#include "tools/comparing/report_comparison.h"

namespace nodmark::tools {

// The comparison as one JSON object (nodmark --compare --json), ending in a line
// break: "before" and "after" (the readings' names), "all_same", "contains" (the
// kinds of machine data it holds, as in a report's "contains"), "identifiers" (each
// with "same", "before", "after" and "moved_by"), "inconsistencies", "changes" (each
// with "input", "change", "identifiers", "before", "after" and "text", its lines),
// "not_compared" (each input a report withheld, with "input", "withheld" and
// "reports") and "shared". "contains" is built from what those members hold, and
// names "report_names" for "before" and "after". Texts are written as JsonText and
// DumpJson describe.
std::string RenderComparisonJson(const Comparison& comparison);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_COMPARING_COMPARISON_JSON_H_

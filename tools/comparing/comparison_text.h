#ifndef NODMARK_TOOLS_COMPARING_COMPARISON_TEXT_H_
#define NODMARK_TOOLS_COMPARING_COMPARISON_TEXT_H_

#include <string>

#include "tools/comparing/report_comparison.h"

namespace nodmark::tools {

// The comparison for a support engineer (nodmark --compare): a summary line, each
// identifier same or changed, every input that moved and how, and what the identical
// identifiers rest on. Lines end in "\n"; texts from the machine are quoted as
// QuoteText does.
std::string RenderComparisonText(const Comparison& comparison);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_COMPARING_COMPARISON_TEXT_H_

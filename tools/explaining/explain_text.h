#ifndef NODMARK_TOOLS_EXPLAINING_EXPLAIN_TEXT_H_
#define NODMARK_TOOLS_EXPLAINING_EXPLAIN_TEXT_H_

#include <string>
#include <string_view>

#include "tools/explaining/explain_report.h"

namespace nodmark::tools {

// The report for a person (nodmark --explain): a sentence naming what of this machine
// it gives away (ContentsSentence), the three identifiers, the warnings of
// those at risk, then each input with what the source made of it, then the exact text
// the digest is taken of.
// Lines end in "\n".
std::string RenderExplainText(const ExplainReport& report);

// `text` in double quotes, every byte outside printable ASCII written as \xNN so that no
// byte of an adapter description or a stored value can garble the terminal or hide in
// the output. Quotes and backslashes stay as they are, so that Windows paths read as
// paths; --json gives every text exactly.
std::string QuoteText(std::string_view text);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_EXPLAIN_TEXT_H_

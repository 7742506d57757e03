#ifndef NODMARK_TOOLS_COMPARING_ADAPTER_CHANGES_H_
#define NODMARK_TOOLS_COMPARING_ADAPTER_CHANGES_H_

#include <vector>

#include "tools/comparing/input_change.h"

// The adapter's part of a comparison: which adapter each reading chose and, where the
// choice moved, what became of the earlier one.
namespace nodmark::tools {

// The changes of the chosen adapter (one per recipe walk, or one for all three
// identifiers when both walks tell the same) and, when no choice moved, the adapters
// that came into or left the listing.
std::vector<InputChange> CompareAdapters(const ComposedReport& before, const ComposedReport& after);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_COMPARING_ADAPTER_CHANGES_H_

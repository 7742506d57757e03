#ifndef NODMARK_TOOLS_WORDS_STORE_WORDS_H_
#define NODMARK_TOOLS_WORDS_STORE_WORDS_H_

#include <optional>
#include <string_view>

#include "sources/random_id_store.h"

// Every word the tool has for how the random identifier's store went: a stable code
// for programs (a report's "outcome" and "lock") and a phrase for people.
namespace nodmark::tools {

// "no_system_directory", "empty_value", "value_read", "value_read_after_wait",
// "value_written" or "write_failed".
const char* StoreOutcomeCode(sources::StoreOutcome outcome);

// The outcome a code names; nullopt for a code this version does not know (a report
// of a later version may hold one).
std::optional<sources::StoreOutcome> StoreOutcomeOfCode(std::string_view code);

// A short phrase for an outcome ("read from the store file", ...).
const char* StoreOutcomePhrase(sources::StoreOutcome outcome);

// "not_needed", "taken", "taken_over", "timed_out" or "unavailable".
const char* StoreLockCode(sources::StoreLock lock);

// A short phrase for how the lock went ("taken", ...).
const char* StoreLockPhrase(sources::StoreLock lock);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_WORDS_STORE_WORDS_H_

#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

using sources::StoreLock;
using sources::StoreOutcome;

// A value's code and phrase.
template <typename Value>
struct Words {
  Value value;
  const char* code;
  const char* phrase;
};

constexpr Words<StoreOutcome> kOutcomeWords[] = {
    {StoreOutcome::kNoSystemDirectory, "no_system_directory", "no system directory"},
    {StoreOutcome::kEmptyValue, "empty_value", "the stored value is empty"},
    {StoreOutcome::kValueRead, "value_read", "read from the store file"},
    {StoreOutcome::kValueReadAfterWait, "value_read_after_wait",
     "read after waiting for another process's draw"},
    {StoreOutcome::kValueWritten, "value_written", "drawn and written to the store file"},
    {StoreOutcome::kWriteFailed, "write_failed", "drawn but the store file could not be written"},
};

constexpr Words<StoreLock> kLockWords[] = {
    {StoreLock::kNotNeeded, "not_needed", "not needed: the first read settled it"},
    {StoreLock::kTaken, "taken", "taken"},
    {StoreLock::kTakenOver, "taken_over", "taken over from a process that ended holding it"},
    {StoreLock::kTimedOut, "timed_out", "not had: another process held it past the wait's bound"},
    {StoreLock::kUnavailable, "unavailable", "not had: it could not be created or opened"},
};

// The words of `value`; "unknown" for a value the table lacks.
template <typename Value, std::size_t kSize>
Words<Value> WordsOf(const Words<Value> (&table)[kSize], Value value) {
  for (const Words<Value>& words : table) {
    if (words.value == value) return words;
  }
  return {value, "unknown", "unknown"};
}

}  // namespace

const char* StoreOutcomeCode(StoreOutcome outcome) { return WordsOf(kOutcomeWords, outcome).code; }

std::optional<StoreOutcome> StoreOutcomeOfCode(std::string_view code) {
  for (const Words<StoreOutcome>& words : kOutcomeWords) {
    if (code == words.code) return words.value;
  }
  return std::nullopt;
}

const char* StoreOutcomePhrase(StoreOutcome outcome) {
  return WordsOf(kOutcomeWords, outcome).phrase;
}

const char* StoreLockCode(StoreLock lock) { return WordsOf(kLockWords, lock).code; }

const char* StoreLockPhrase(StoreLock lock) { return WordsOf(kLockWords, lock).phrase; }

}  // namespace nodmark::tools

#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

using sources::StoreLock;
using sources::StoreOutcome;

struct OutcomeWords {
  StoreOutcome outcome;
  const char* code;
  const char* phrase;
};

constexpr OutcomeWords kOutcomeWords[] = {
    {StoreOutcome::kNoSystemDirectory, "no_system_directory", "no system directory"},
    {StoreOutcome::kEmptyValue, "empty_value", "the stored value is empty"},
    {StoreOutcome::kValueRead, "value_read", "read from the store file"},
    {StoreOutcome::kValueReadAfterWait, "value_read_after_wait",
     "read after waiting for another process's draw"},
    {StoreOutcome::kValueWritten, "value_written", "drawn and written to the store file"},
    {StoreOutcome::kWriteFailed, "write_failed", "drawn but the store file could not be written"},
};

struct LockWords {
  StoreLock lock;
  const char* code;
  const char* phrase;
};

constexpr LockWords kLockWords[] = {
    {StoreLock::kNotNeeded, "not_needed", "not needed: the first read settled it"},
    {StoreLock::kTaken, "taken", "taken"},
    {StoreLock::kTakenOver, "taken_over", "taken over from a process that ended holding it"},
    {StoreLock::kTimedOut, "timed_out", "not had: another process held it past the wait's bound"},
    {StoreLock::kUnavailable, "unavailable", "not had: it could not be created or opened"},
};

const OutcomeWords* WordsOf(StoreOutcome outcome) {
  for (const OutcomeWords& words : kOutcomeWords) {
    if (words.outcome == outcome) return &words;
  }
  return nullptr;
}

const LockWords* WordsOf(StoreLock lock) {
  for (const LockWords& words : kLockWords) {
    if (words.lock == lock) return &words;
  }
  return nullptr;
}

}  // namespace

const char* StoreOutcomeCode(StoreOutcome outcome) {
  const OutcomeWords* words = WordsOf(outcome);
  return words != nullptr ? words->code : "unknown";
}

std::optional<StoreOutcome> StoreOutcomeOfCode(std::string_view code) {
  for (const OutcomeWords& words : kOutcomeWords) {
    if (code == words.code) return words.outcome;
  }
  return std::nullopt;
}

const char* StoreOutcomePhrase(StoreOutcome outcome) {
  const OutcomeWords* words = WordsOf(outcome);
  return words != nullptr ? words->phrase : "unknown";
}

const char* StoreLockCode(StoreLock lock) {
  const LockWords* words = WordsOf(lock);
  return words != nullptr ? words->code : "unknown";
}

const char* StoreLockPhrase(StoreLock lock) {
  const LockWords* words = WordsOf(lock);
  return words != nullptr ? words->phrase : "unknown";
}

}  // namespace nodmark::tools

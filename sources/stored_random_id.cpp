#include "platform/machine_lock.h"
#include "platform/profile.h"
#include "platform/system_directory.h"
#include "sources/base36_triple.h"
#include "sources/machine_sources.h"
#include "sources/random_draw.h"
#include "sources/random_id_store.h"

namespace nodmark::sources {
namespace {

// Draws until the text is not "000", which would read back as "no value".
std::string DrawRandomId() {
  std::string text;
  do {
    text = EncodeBase36Triple(DrawRandomNumber());
  } while (text == kAbsentRandomId);
  return text;
}

std::string ReadStore(const std::string& path) {
  return platform::ReadProfileValue(kStoreSection, kStoreKey, kAbsentRandomId, kStoreReadCapacity,
                                    path);
}

// True when `stored` settles the call, with `report` telling the result: an empty value
// gives the failure value and is left as it is, as it is for peers; any value but "000"
// is the answer, with `outcome`.
bool SettledByStoredValue(std::string stored, StoreOutcome outcome, StoredRandomIdReport& report) {
  if (stored.empty()) {
    report.outcome = StoreOutcome::kEmptyValue;
    return true;
  }
  if (stored == kAbsentRandomId) return false;
  report.value = std::move(stored);
  report.outcome = outcome;
  return true;
}

StoreLock ReportedLock(platform::MachineLockState state) {
  switch (state) {
    case platform::MachineLockState::kTaken:
      return StoreLock::kTaken;
    case platform::MachineLockState::kTakenOver:
      return StoreLock::kTakenOver;
    case platform::MachineLockState::kTimedOut:
      return StoreLock::kTimedOut;
    case platform::MachineLockState::kUnavailable:
      break;
  }
  return StoreLock::kUnavailable;
}

}  // namespace

StoredRandomIdReport ResolveStoredRandomId() {
  StoredRandomIdReport report;
  report.value = kFailedRandomId;
  const std::optional<std::string> directory = platform::QuerySystemDirectory();
  if (!directory) return report;
  report.filePath = platform::AppendPathComponent(*directory, kStoreFileName);

  if (SettledByStoredValue(ReadStore(report.filePath), StoreOutcome::kValueRead, report)) {
    return report;
  }
  // No value yet, and other processes may be finding the same at this moment: under
  // the machine-wide lock only the first of them draws, and the others read its value
  // on their second read. A caller that cannot have the lock goes on as if it were
  // alone; one that waited in vain still takes a value that appeared meanwhile.
  platform::MachineLock lock = platform::TakeMachineLock(*directory, kStoreLockTimeoutMilliseconds);
  report.lock = ReportedLock(lock.state);
  if (lock.state != platform::MachineLockState::kUnavailable &&
      SettledByStoredValue(ReadStore(report.filePath), StoreOutcome::kValueReadAfterWait, report)) {
    return report;
  }

  std::string drawn = DrawRandomId();
  const bool written =
      platform::WriteProfileValue(kStoreSection, kStoreKey, drawn, report.filePath);
  lock.owner.reset();
  if (!written) {
    // The drawn value is dropped: handing it out unstored would give this machine a
    // different identifier on the next run.
    report.outcome = StoreOutcome::kWriteFailed;
    return report;
  }
  report.value = std::move(drawn);
  report.outcome = StoreOutcome::kValueWritten;
  return report;
}

std::string ReadStoredRandomId() { return ResolveStoredRandomId().value; }

}  // namespace nodmark::sources

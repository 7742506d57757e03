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

}  // namespace

std::optional<std::string> LocateStoreFile() {
  const std::optional<std::string> directory = platform::QuerySystemDirectory();
  if (!directory) return std::nullopt;
  return platform::AppendPathComponent(*directory, kStoreFileName);
}

StoredRandomIdReport ResolveStoredRandomId() {
  StoredRandomIdReport report;
  report.value = kFailedRandomId;
  const std::optional<std::string> path = LocateStoreFile();
  if (!path) return report;
  report.filePath = *path;

  std::string stored = platform::ReadProfileValue(kStoreSection, kStoreKey, kAbsentRandomId,
                                                  kStoreReadCapacity, report.filePath);
  if (stored.empty()) {
    // An emptied value is taken as meant: it is left alone and gives the failure
    // value, now and on every later call, as it does for peers.
    report.outcome = StoreOutcome::kEmptyValue;
    return report;
  }
  if (stored != kAbsentRandomId) {
    report.value = std::move(stored);
    report.outcome = StoreOutcome::kValueRead;
    return report;
  }

  std::string drawn = DrawRandomId();
  if (!platform::WriteProfileValue(kStoreSection, kStoreKey, drawn, report.filePath)) {
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

const char* DescribeStoreOutcome(StoreOutcome outcome) {
  switch (outcome) {
    case StoreOutcome::kNoSystemDirectory:
      return "no system directory";
    case StoreOutcome::kEmptyValue:
      return "the stored value is empty";
    case StoreOutcome::kValueRead:
      return "read from the store file";
    case StoreOutcome::kValueWritten:
      return "drawn and written to the store file";
    case StoreOutcome::kWriteFailed:
      return "drawn but the store file could not be written";
  }
  return "unknown";
}

}  // namespace nodmark::sources

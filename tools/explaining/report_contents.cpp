#include "tools/explaining/report_contents.h"

#include <iterator>

#include "sources/random_id_store.h"
#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

struct ContentName {
  const char* code;
  const char* phrase;  // after "this machine's"
};

// Indexed by Content.
constexpr ContentName kContentNames[] = {
    {"identifiers", "three identifiers"},
    {"adapter_addresses", "network adapter hardware addresses"},
    {"adapter_descriptions", "adapter descriptions"},
    {"filter_entries", "filter list address patterns"},
    {"volume_serial", "volume c:\\ serial"},
    {"processor_signature", "processor signature"},
    {"firmware_text", "firmware text"},
    {"random_id", "stored random identifier"},
    {"store_file_path", "store file path"},
    {"report_names", "report names"},
};
static_assert(std::size(kContentNames) == static_cast<std::size_t>(Content::kCount));

void Set(Contents& contents, Content kind, bool present) {
  contents.set(static_cast<std::size_t>(kind), present);
}

}  // namespace

Contents ContentsOf(std::initializer_list<Content> kinds) {
  Contents contents;
  for (const Content kind : kinds) Set(contents, kind, true);
  return contents;
}

Contents ReportContents(const ExplainReport& report) {
  Contents contents = ContentsOf({Content::kIdentifiers});
  const bool adapters = report.adapters.listing && report.adapters.listing->count > 0;
  Set(contents, Content::kAdapterAddresses, adapters);
  Set(contents, Content::kAdapterDescriptions, adapters);
  Set(contents, Content::kFilterEntries, !report.adapters.filterEntries.empty());
  Set(contents, Content::kVolumeSerial, report.volumeSerial.has_value());
  Set(contents, Content::kProcessorSignature,
      report.processorSignature && !report.processorSignature->empty());
  Set(contents, Content::kFirmwareText, report.firmware.match.has_value());
  Set(contents, Content::kRandomId,
      IsKeptRandomId(report.store.value, StoreOutcomeCode(report.store.outcome)));
  Set(contents, Content::kStoreFilePath, !report.store.filePath.empty());
  return contents;
}

Contents WithholdableContents() {
  Contents kinds;
  kinds.set();
  Set(kinds, Content::kIdentifiers, false);
  Set(kinds, Content::kReportNames, false);
  return kinds;
}

std::optional<Content> ContentOfCode(std::string_view code) {
  for (std::size_t i = 0; i < std::size(kContentNames); ++i) {
    if (code == kContentNames[i].code) return static_cast<Content>(i);
  }
  return std::nullopt;
}

bool IsKeptRandomId(std::string_view value, std::string_view outcomeCode) {
  using sources::StoreOutcome;
  const std::optional<StoreOutcome> outcome = StoreOutcomeOfCode(outcomeCode);
  const bool failed = outcome == StoreOutcome::kWriteFailed ||
                      outcome == StoreOutcome::kEmptyValue ||
                      outcome == StoreOutcome::kNoSystemDirectory;
  return value != sources::kFailedRandomId && !failed;
}

std::vector<const char*> ContentCodes(const Contents& contents) {
  std::vector<const char*> codes;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    if (contents[i]) codes.push_back(kContentNames[i].code);
  }
  return codes;
}

std::string ContentsSentence(const Contents& contents) {
  std::string sentence = "This report gives whoever receives it this machine's ";
  std::size_t left = contents.count();
  for (std::size_t i = 0; i < contents.size(); ++i) {
    if (!contents[i]) continue;
    sentence += kContentNames[i].phrase;
    --left;
    sentence += left > 1 ? ", " : left == 1 ? " and " : ".";
  }
  return sentence;
}

}  // namespace nodmark::tools

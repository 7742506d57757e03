#ifndef NODMARK_TOOLS_REPORTS_SAVED_REPORT_H_
#define NODMARK_TOOLS_REPORTS_SAVED_REPORT_H_

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/adapters.h"
#include "sources/adapter_source.h"
#include "tools/explaining/report_contents.h"

// A report that nodmark --json wrote, read back for nodmark --compare: the identifiers
// it states and the inputs they were composed from. Verdicts, keys and the digest text
// are not read: they follow from the inputs and are worked out again.
namespace nodmark::tools {

struct SavedAdapter {
  std::string description;  // the bytes the OS gave, up to the first zero byte
  sources::AdapterAddress address{};
  bool wireless = false;
  bool removableBus = false;
};

struct SavedReport {
  std::string name;  // the file it was read from, or what stands for this machine

  std::string nodmarkOld;
  std::string nodmarkNew;
  std::string nodmarkComplicate;

  bool adaptersListed = false;
  std::vector<SavedAdapter> adapters;  // in listing order, at most platform::kMaxAdapters
  sources::FilterEntries filterEntries;
  std::optional<std::uint32_t> volumeSerial;
  std::string processorSignature;  // empty when identification was not available
  bool firmwareMapped = false;
  std::string firmwareProbe;  // the name of the probe that found the text; empty for none
  std::string firmwareText;   // empty when there is none
  std::string storePath;      // empty without a system directory
  std::string storeValue;
  // The store outcome's code as written, codes of later versions included.
  std::string storeOutcome;
  std::string settingsTag;
  // The kinds of data the report was written without (nodmark --json --withhold); the
  // members that held them are read as empty.
  Contents withheld;
};

// A report that cannot be read; what() is one line that begins with the report's name
// and says what is wrong.
class UnreadableReport : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a report from its JSON text. Members that a report of an older layout lacks
// (the adapters' "wireless" and "removable_bus", "filter_entries", the firmware's
// "probe" and "mapped", the store's "path" and "outcome", "withheld") take defaults;
// a member that holds a kind named in "withheld" may be null; members this
// version does not know are ignored. Throws UnreadableReport when the text is not
// JSON, ends early, nests deeper than any report, is not an object, or lacks a member
// the identifiers are composed from or holds one of the wrong type.
SavedReport ParseSavedReport(std::string_view json, const std::string& name);

// What the recipes compose from a saved report's inputs: the adapter walks and the three
// identifiers, which equal the stated ones unless the report was edited.
struct ComposedReading {
  std::optional<platform::AdapterList> listing;
  sources::AdapterVerdicts withoutFilterList;
  sources::AdapterVerdicts withFilterList;
  std::string nodmarkOld;
  std::string nodmarkNew;
  std::string nodmarkComplicate;
};

ComposedReading ComposeSavedReport(const SavedReport& report);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_REPORTS_SAVED_REPORT_H_

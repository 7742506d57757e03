#include "tools/comparing/report_comparison.h"

#include <string_view>
#include <utility>

#include "sources/random_id_store.h"
#include "tools/comparing/adapter_changes.h"
#include "tools/explaining/explain_text.h"
#include "tools/words/phrases.h"
#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

// What the adapter walks are judged from.
Contents AdapterKinds() {
  return ContentsOf(
      {Content::kAdapterAddresses, Content::kAdapterDescriptions, Content::kFilterEntries});
}

// Each reading with what its inputs compose, and the kinds either withheld: those
// are not compared.
struct Readings {
  ComposedReport before;
  ComposedReport after;

  Contents Withheld() const { return before.report.withheld | after.report.withheld; }
  bool Held(const Contents& kinds) const { return (kinds & Withheld()).none(); }
  bool Held(Content kind) const { return Held(ContentsOf({kind})); }
};

// Identifiers whose inputs the report withheld cannot be composed again, and are not
// checked: withholding is not editing.
void FindInconsistencies(const ComposedReport& reading, std::vector<Inconsistency>& found) {
  const SavedReport& stated = reading.report;
  const ComposedReading& composed = reading.composed;
  // The legacy walk applies no filter list.
  const Contents oldInputs = ContentsOf(
      {Content::kAdapterAddresses, Content::kAdapterDescriptions, Content::kVolumeSerial});
  const Contents keyed = AdapterKinds() | ContentsOf({Content::kVolumeSerial});
  const struct {
    const char* name;
    const std::string& stated;
    const std::string& composed;
    Contents inputs;
  } rows[] = {
      {kOldName, stated.nodmarkOld, composed.nodmarkOld, oldInputs},
      {kNewName, stated.nodmarkNew, composed.nodmarkNew, keyed | ContentsOf({Content::kRandomId})},
      {kComplicateName, stated.nodmarkComplicate, composed.nodmarkComplicate,
       keyed | ContentsOf({Content::kProcessorSignature, Content::kFirmwareText})},
  };
  for (const auto& row : rows) {
    if (row.stated != row.composed && (row.inputs & stated.withheld).none()) {
      found.push_back({stated.name, row.name, row.stated, row.composed});
    }
  }
}

// False, and the input named among those not compared, where a report withheld a kind
// that comparing `input` needs.
bool Comparable(const Readings& readings, const char* input, const Contents& needs,
                std::vector<UncomparedInput>& uncompared) {
  if (readings.Held(needs)) return true;
  UncomparedInput entry{input, needs & readings.Withheld(), {}};
  for (const ComposedReport* reading : {&readings.before, &readings.after}) {
    if ((needs & reading->report.withheld).any()) entry.reports.push_back(reading->report.name);
  }
  uncompared.push_back(std::move(entry));
  return false;
}

// The identifiers whose key is the volume serial in both readings (no adapter chosen
// by their walk in either), and the digest, which always takes the serial. Where the
// walks cannot be told (adapters withheld), the digest alone.
std::vector<const char*> MovedBySerial(const Readings& readings) {
  if (!readings.Held(AdapterKinds())) return {kComplicateName};
  std::vector<const char*> moved;
  const auto keyedOnVolume = [&](auto walk) {
    return !(readings.before.composed.*walk).chosen && !(readings.after.composed.*walk).chosen;
  };
  if (keyedOnVolume(&ComposedReading::withoutFilterList)) moved.push_back(kOldName);
  if (keyedOnVolume(&ComposedReading::withFilterList)) moved.push_back(kNewName);
  moved.push_back(kComplicateName);
  return moved;
}

// "changed", "appeared" or "disappeared", for an input that differs.
const char* Movement(bool hadBefore, bool hasAfter) {
  if (!hadBefore) return "appeared";
  return hasAfter ? "changed" : "disappeared";
}

std::optional<std::string> SerialOf(const SavedReport& report) {
  if (!report.volumeSerial) return std::nullopt;
  return SerialText(*report.volumeSerial);
}

std::optional<std::string> NonEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

void CompareVolume(const Readings& readings, std::vector<InputChange>& changes) {
  const std::optional<std::string> before = SerialOf(readings.before.report);
  const std::optional<std::string> after = SerialOf(readings.after.report);
  if (before == after) return;
  InputChange change{"volume_serial",
                     Movement(before.has_value(), after.has_value()),
                     MovedBySerial(readings),
                     before,
                     after,
                     {},
                     ContentsOf({Content::kVolumeSerial})};
  if (before && after) {
    change.lines.push_back("serial " + *before + " before, " + *after +
                           " now: volume c:\\ was formatted or replaced, or the system runs "
                           "from another disk");
  } else if (after) {
    change.lines.push_back("no serial before (the volume query failed), " + *after + " now");
  } else {
    change.lines.push_back("serial " + *before +
                           " before, none now: the volume query failed (no volume c:, or it "
                           "is not ready)");
  }
  changes.push_back(std::move(change));
}

void CompareProcessor(const Readings& readings, std::vector<InputChange>& changes) {
  const std::optional<std::string> before = NonEmpty(readings.before.report.processorSignature);
  const std::optional<std::string> after = NonEmpty(readings.after.report.processorSignature);
  if (before == after) return;
  const auto text = [](const std::optional<std::string>& signature) {
    return signature ? QuoteText(*signature) : std::string("none (identification not available)");
  };
  changes.push_back({"processor",
                     Movement(before.has_value(), after.has_value()),
                     {kComplicateName},
                     before,
                     after,
                     {"signature " + text(before) + " before, " + text(after) +
                      " now: another processor, or a virtual machine that shows its features "
                      "otherwise"},
                     ContentsOf({Content::kProcessorSignature})});
}

std::string FirmwareText(const SavedReport& report) {
  if (!report.firmwareText.empty()) {
    return QuoteText(report.firmwareText) +
           (report.firmwareProbe.empty() ? ""
                                         : ", found by the " + report.firmwareProbe + " probe");
  }
  return report.firmwareMapped ? "none (no probe matched)"
                               : "none (the firmware memory could not be mapped; on Linux "
                                 "that needs root)";
}

void CompareFirmware(const Readings& readings, std::vector<InputChange>& changes) {
  const SavedReport& earlier = readings.before.report;
  const SavedReport& later = readings.after.report;
  const std::optional<std::string> before = NonEmpty(earlier.firmwareText);
  const std::optional<std::string> after = NonEmpty(later.firmwareText);
  const std::string line =
      "text " + FirmwareText(earlier) + " before; " + FirmwareText(later) + " now";
  const Contents texts = ContentsOf({Content::kFirmwareText});
  if (before != after) {
    changes.push_back({"firmware",
                       Movement(before.has_value(), after.has_value()),
                       {kComplicateName},
                       before,
                       after,
                       {line},
                       texts});
  } else if (!earlier.firmwareProbe.empty() && !later.firmwareProbe.empty() &&
             earlier.firmwareProbe != later.firmwareProbe) {
    // An older report may not name the probe; only two named probes can differ.
    changes.push_back({"firmware", "probe_changed", {}, before, after, {line}, texts});
  }
}

// A Windows path with its letters in lower case and its folder "system32" named
// "syswow64": the key under which two names of one store file meet.
std::string StoreFileKey(std::string path) {
  for (char& c : path) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  const std::size_t name = path.rfind('\\');
  constexpr std::string_view kRedirectedFolder = "\\system32";
  if (name != std::string::npos && name >= kRedirectedFolder.size() &&
      path.compare(name - kRedirectedFolder.size(), kRedirectedFolder.size(), kRedirectedFolder) ==
          0) {
    path.replace(name - kRedirectedFolder.size(), kRedirectedFolder.size(), "\\syswow64");
  }
  return path;
}

// Whether two reports' store paths name one file. Windows names files without regard
// to case, and a 32-bit nodmark.exe of an earlier version named the 64-bit machine's
// store file in SysWOW64 by the name its process opened it by, system32\pub_store.dat.
// (Only a 32-bit Windows keeps the file in a real system32, and going from one Windows
// to the other changes the machine's other inputs too.)
bool NameOneStoreFile(const std::string& before, const std::string& after) {
  if (before == after) return true;
  const auto isWindowsPath = [](const std::string& path) {
    return path.size() > 2 && path[1] == ':' && path[2] == '\\';
  };
  return isWindowsPath(before) && isWindowsPath(after) &&
         StoreFileKey(before) == StoreFileKey(after);
}

void CompareRandomId(const Readings& readings, std::vector<InputChange>& changes) {
  using sources::StoreOutcome;
  const SavedReport& earlier = readings.before.report;
  const SavedReport& later = readings.after.report;
  if (earlier.storeValue == later.storeValue) return;
  InputChange change{"random_id",      "changed", {kNewName}, earlier.storeValue,
                     later.storeValue, {},        {}};
  if (IsKeptRandomId(earlier.storeValue, earlier.storeOutcome) ||
      IsKeptRandomId(later.storeValue, later.storeOutcome)) {
    change.contents = ContentsOf({Content::kRandomId});
  }
  const bool hadValue = earlier.storeValue != sources::kFailedRandomId;
  const std::string values =
      QuoteText(earlier.storeValue) + " before, " + QuoteText(later.storeValue) + " now: ";
  const std::string lost = hadValue ? "the store file, or its key, was deleted, or the value "
                                      "was set to \"000\""
                                    : "the earlier run could not keep a value";
  const std::optional<StoreOutcome> outcome = StoreOutcomeOfCode(later.storeOutcome);
  if (outcome == StoreOutcome::kValueWritten) {
    change.change = "redrawn";
    change.lines.push_back(values +
                           "the store held no value, so a new one was drawn and "
                           "written; " +
                           lost);
  } else if (outcome == StoreOutcome::kWriteFailed) {
    change.change = "write_refused";
    change.lines.push_back(values +
                           "the store held no value and the one drawn could not be written "
                           "(that needs administrator rights; root on Linux), so every run "
                           "draws again until one may write it");
    if (hadValue) change.lines.push_back("the value kept before is gone: " + lost);
  } else if (outcome == StoreOutcome::kEmptyValue) {
    change.change = "emptied";
    change.lines.push_back(values + "the store file's value was emptied, and it stays " +
                           QuoteText(sources::kFailedRandomId) + " until that value is removed");
  } else if (outcome == StoreOutcome::kNoSystemDirectory) {
    change.change = "no_store";
    change.lines.push_back(values + "there is no system directory to keep the value in");
  } else if (!hadValue) {
    change.lines.push_back(values +
                           "a value is kept now, written by a run that could write "
                           "the store file");
  } else {
    change.lines.push_back(values +
                           "the store file holds another value: it was edited, or "
                           "copied from another machine");
  }
  if (!later.storeOutcome.empty() && !outcome) {
    change.lines.push_back("(the store's outcome " + QuoteText(later.storeOutcome) +
                           " is one this version does not know)");
  }
  if (readings.Held(Content::kStoreFilePath) &&
      !NameOneStoreFile(earlier.storePath, later.storePath)) {
    change.contents.set(static_cast<std::size_t>(Content::kStoreFilePath));
    change.lines.push_back("the store file is another one: " + QuoteText(earlier.storePath) +
                           " before, " + QuoteText(later.storePath) + " now");
  }
  changes.push_back(std::move(change));
}

void CompareSettingsTag(const Readings& readings, std::vector<InputChange>& changes) {
  const std::string& before = readings.before.report.settingsTag;
  const std::string& after = readings.after.report.settingsTag;
  if (before == after) return;
  changes.push_back({"settings_tag",
                     "changed",
                     {kNewName},
                     before,
                     after,
                     {"settings tag " + QuoteText(before) + " before, " + QuoteText(after) +
                      " now: another version of the component"},
                     {}});
}

// Adds `identifier` to the shared input with this value, or a new one.
void Share(std::vector<SharedInput>& shared, const char* input, const std::string& value,
           const char* identifier, const char* note, const Contents& contents = {}) {
  for (SharedInput& entry : shared) {
    if (std::string(entry.input) == input && entry.value == value) {
      entry.identifiers.push_back(identifier);
      return;
    }
  }
  shared.push_back({input, value, {identifier}, note, contents});
}

void ShareAdapter(std::vector<SharedInput>& shared, const ComposedReport& reading,
                  const sources::AdapterVerdicts& walk, const char* identifier) {
  Share(shared, "adapter", AddressText(reading.composed.listing->records[*walk.chosen].address),
        identifier,
        "two machines with one adapter address are clones, such as a copied virtual machine, "
        "or were given that address by software",
        ContentsOf({Content::kAdapterAddresses}));
}

void ShareVolume(std::vector<SharedInput>& shared, std::uint32_t serial, const char* identifier) {
  Share(shared, "volume_serial", SerialText(serial), identifier,
        "two machines with one volume serial were installed from one disk image",
        ContentsOf({Content::kVolumeSerial}));
}

// What an identifier keys on: the walk's adapter, else the volume serial, else the
// sixteen F's; nothing where what it keys on was withheld.
void ShareKey(std::vector<SharedInput>& shared, const Readings& readings,
              const sources::AdapterVerdicts& walk, const char* identifier) {
  const ComposedReport& reading = readings.before;
  if (!readings.Held(AdapterKinds())) return;
  if (walk.chosen) {
    ShareAdapter(shared, reading, walk, identifier);
  } else if (!readings.Held(Content::kVolumeSerial)) {
    return;
  } else if (reading.report.volumeSerial) {
    ShareVolume(shared, *reading.report.volumeSerial, identifier);
  } else {
    Share(shared, "fallback", "FFFFFFFFFFFFFFFF", identifier,
          "every machine without an adapter and a volume serial has sixteen F's");
  }
}

void ShareRandomId(std::vector<SharedInput>& shared, const SavedReport& report) {
  if (IsKeptRandomId(report.storeValue, report.storeOutcome)) {
    Share(shared, "random_id", report.storeValue, kNewName,
          "two machines with one stored value have one store file, copied with the system",
          ContentsOf({Content::kRandomId}));
  } else {
    Share(shared, "random_id", report.storeValue, kNewName,
          "every machine whose store could not keep a value has it: it tells nothing of the "
          "machine");
  }
}

// What the identical identifiers rest on, from the earlier reading (the same in both),
// of what neither report withheld.
std::vector<SharedInput> FindShared(const Comparison& comparison, const Readings& readings) {
  std::vector<SharedInput> shared;
  const ComposedReport& reading = readings.before;
  const SavedReport& report = reading.report;
  if (comparison.identifiers[0].same()) {
    ShareKey(shared, readings, reading.composed.withoutFilterList, kOldName);
  }
  if (comparison.identifiers[1].same()) {
    ShareKey(shared, readings, reading.composed.withFilterList, kNewName);
    if (readings.Held(Content::kRandomId)) ShareRandomId(shared, report);
  }
  if (comparison.identifiers[2].same()) {
    const sources::AdapterVerdicts& walk = reading.composed.withFilterList;
    if (walk.chosen && readings.Held(AdapterKinds())) {
      ShareAdapter(shared, reading, walk, kComplicateName);
    }
    if (report.volumeSerial && readings.Held(Content::kVolumeSerial)) {
      ShareVolume(shared, *report.volumeSerial, kComplicateName);
    }
    if (!report.processorSignature.empty() && readings.Held(Content::kProcessorSignature)) {
      Share(shared, "processor", report.processorSignature, kComplicateName,
            "the same processor model: common among machines of one kind",
            ContentsOf({Content::kProcessorSignature}));
    }
    if (!report.firmwareText.empty() && readings.Held(Content::kFirmwareText)) {
      Share(shared, "firmware", report.firmwareText, kComplicateName,
            "the same firmware text: common among machines of one model",
            ContentsOf({Content::kFirmwareText}));
    }
  }
  return shared;
}

}  // namespace

bool Comparison::AllSame() const {
  for (const IdentifierComparison& identifier : identifiers) {
    if (!identifier.same()) return false;
  }
  return true;
}

Comparison CompareReports(const SavedReport& before, const SavedReport& after) {
  const ComposedReading composedBefore = ComposeSavedReport(before);
  const ComposedReading composedAfter = ComposeSavedReport(after);
  const Readings readings{{before, composedBefore}, {after, composedAfter}};

  Comparison comparison;
  comparison.beforeName = before.name;
  comparison.afterName = after.name;
  comparison.identifiers = {{
      {kOldName, before.nodmarkOld, after.nodmarkOld, {}},
      {kNewName, before.nodmarkNew, after.nodmarkNew, {}},
      {kComplicateName, before.nodmarkComplicate, after.nodmarkComplicate, {}},
  }};
  FindInconsistencies(readings.before, comparison.inconsistencies);
  FindInconsistencies(readings.after, comparison.inconsistencies);
  if (!comparison.inconsistencies.empty()) return comparison;

  std::vector<InputChange>& changes = comparison.changes;
  std::vector<UncomparedInput>& uncompared = comparison.uncompared;
  if (Comparable(readings, "adapter", AdapterKinds(), uncompared)) {
    changes = CompareAdapters(readings.before, readings.after);
  }
  if (Comparable(readings, "volume_serial", ContentsOf({Content::kVolumeSerial}), uncompared)) {
    CompareVolume(readings, changes);
  }
  if (Comparable(readings, "processor", ContentsOf({Content::kProcessorSignature}), uncompared)) {
    CompareProcessor(readings, changes);
  }
  if (Comparable(readings, "firmware", ContentsOf({Content::kFirmwareText}), uncompared)) {
    CompareFirmware(readings, changes);
  }
  if (Comparable(readings, "random_id", ContentsOf({Content::kRandomId}), uncompared)) {
    CompareRandomId(readings, changes);
  }
  CompareSettingsTag(readings, changes);
  for (const InputChange& change : comparison.changes) {
    for (IdentifierComparison& identifier : comparison.identifiers) {
      for (const char* name : change.identifiers) {
        if (std::string(name) == identifier.name) identifier.movedBy.push_back(change.input);
      }
    }
  }
  comparison.shared = FindShared(comparison, readings);
  return comparison;
}

}  // namespace nodmark::tools

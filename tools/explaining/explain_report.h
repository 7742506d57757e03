#ifndef NODMARK_TOOLS_EXPLAINING_EXPLAIN_REPORT_H_
#define NODMARK_TOOLS_EXPLAINING_EXPLAIN_REPORT_H_

#include <cstdint>
#include <optional>
#include <string>

#include "core/byte_string.h"
#include "identifiers/identifier_recipes.h"
#include "platform/adapters.h"
#include "sources/adapter_source.h"
#include "sources/firmware_probe.h"
#include "sources/random_id_store.h"
#include "tools/explaining/application_forms.h"

// Why this machine's identifiers are what they are: every input the recipes use, with
// what each source made of the machine, gathered through the sources' own functions.
namespace nodmark::tools {

struct AdapterReport {
  // The listing the verdicts are about; nullopt when it could not be taken (the call
  // failed, there are no adapters, or more than twelve).
  std::optional<platform::AdapterList> listing;
  // The filter list entries that the current and digest-based recipes apply; empty
  // when the filter list store has none (the built-in address table applies then).
  sources::FilterEntries filterEntries;
  // The walk of the legacy recipe (filter list off) and of the other two (filter list
  // on). Both are empty without a listing.
  sources::AdapterVerdicts withoutFilterList;
  sources::AdapterVerdicts withFilterList;
  // The chosen adapter's six address bytes, as the adapter source would give them.
  identifiers::SourceBytes chosenWithoutFilterList;
  identifiers::SourceBytes chosenWithFilterList;
};

struct FirmwareReport {
  bool mapped = false;                          // the firmware window could be mapped
  std::optional<sources::FirmwareMatch> match;  // the first probe that accepted
};

struct ExplainReport {
  AdapterReport adapters;
  identifiers::SourceBytes volumeSerial;  // the six bytes of volume c:\, as the source gives them
  identifiers::SourceBytes processorSignature;
  FirmwareReport firmware;
  identifiers::SourceBytes firmwareSignature;  // the matched text, as the firmware source gives it
  sources::StoredRandomIdReport store;  // its filePath named where the file lies (LocateStoreFile)
  std::string settingsTag;

  identifiers::MachineKey oldKey = identifiers::MachineKey::kNeither;
  identifiers::MachineKey newKey = identifiers::MachineKey::kNeither;
  identifiers::DigestParts digestParts;
  // The hex text the markers frame and its MD5 digest text.
  std::string digestHexData;

  std::string nodmarkOld;
  std::string nodmarkNew;
  std::string nodmarkComplicate;

  // The three for the application named after --for; ExplainThisMachine leaves it out.
  std::optional<ApplicationForms> forApplication;
};

// Reads the machine once through the sources and composes the three identifiers with
// the recipes' own functions: equal to an IdentifierSet's on an unchanged machine.
// The adapters are listed once and judged for both filter modes; the volume, the
// processor and the firmware are read once; the store is resolved once, so a run
// draws and writes at most what one IdentifierSet does (nothing but the store file).
// May throw std::bad_alloc.
ExplainReport ExplainThisMachine();

// The address the adapter source hands out for a walk: the chosen record's six bytes,
// or nullopt when the walk chose none.
identifiers::SourceBytes ChosenAddress(const platform::AdapterList& listing,
                                       const sources::AdapterVerdicts& verdicts);

// The volume serial that the six bytes of the volume source stand for (their first
// four bytes, least significant first).
std::uint32_t SerialFromSourceBytes(const ByteString& bytes);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_EXPLAINING_EXPLAIN_REPORT_H_

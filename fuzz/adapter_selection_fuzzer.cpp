// Adapter selection over arbitrary listings, descriptions and filter entries: the verdicts
// of JudgeAdapters, the filter entries ReadFilterEntries takes from the filter list store,
// and the address ReadAdapterAddresses hands out, against the scripted platform.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fake/fake_adapters.h"
#include "fake/fake_registry.h"
#include "filter/filter_list_store.h"
#include "filter/filter_list_store_testing.h"
#include "fuzz/fuzz_check.h"
#include "sources/adapter_source.h"
#include "sources/machine_sources.h"

namespace nodmark::fuzz {
namespace {

using sources::AdapterVerdict;
using sources::AddressExclusion;
using sources::FilterEntries;
using Outcome = AdapterVerdict::Outcome;

// Counts above the listing's capacity: JudgeAdapters must clamp them.
constexpr std::size_t kMaxListedCount = platform::kMaxAdapters + 3;
// Longer than the description field: such a description fills it with no terminator.
constexpr std::size_t kMaxDescriptionLength = platform::kAdapterDescriptionSize + 8;
constexpr std::size_t kMaxEntries = 6;
constexpr std::size_t kMaxEntryLength = sources::kFilterEntryLength + 4;
constexpr std::size_t kMaxSizeTextLength = 14;

constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";
constexpr char kInstallPathValue[] = "Path";
constexpr char kInstallPath[] = "C:\\Program Files\\Halvern\\halvern.exe";
constexpr char kFilterSection[] = "filter_nodmark";

// The description as the OS field holds it: up to the first zero byte, never past 132.
std::string_view DescriptionText(const platform::AdapterRecord& record) {
  const char* begin = record.description.data();
  const void* zero = std::memchr(begin, 0, record.description.size());
  const std::size_t length = zero != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(zero) - begin)
                                 : record.description.size();
  return std::string_view(begin, length);
}

bool HoldsExcludedWord(std::string_view description) {
  for (std::string_view word : sources::kExcludedDescriptionWords) {
    if (description.find(word) != std::string_view::npos) return true;
  }
  return false;
}

// Whether a 12-character pattern names the address ("N" matches any hex digit).
bool PatternMatches(const std::string& entry, const sources::AdapterAddress& address) {
  if (entry.size() != sources::kFilterEntryLength) return false;
  char text[sources::kFilterEntryLength + 1];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", address[0], address[1], address[2],
                address[3], address[4], address[5]);
  for (std::size_t i = 0; i < sources::kFilterEntryLength; ++i) {
    if (entry[i] != 'N' && entry[i] != text[i]) return false;
  }
  return true;
}

// atol's reading, saturated to 32 bits, through the C library as an independent oracle.
std::int32_t LeadingInteger(const std::string& text) {
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, /*base=*/10);
  return static_cast<std::int32_t>(std::clamp<long long>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void CheckVerdicts(const platform::AdapterList& list, const FilterEntries& entries) {
  const sources::AdapterVerdicts judged = sources::JudgeAdapters(list, entries);
  const std::size_t count = std::min(list.count, platform::kMaxAdapters);
  Require(judged.count == count, "one verdict per listed adapter, at most twelve");
  Require(!judged.chosen || *judged.chosen < sources::kMaxExaminedAdapters,
          "only the first eleven adapters can be chosen");

  for (std::size_t i = 0; i < count; ++i) {
    const AdapterVerdict& verdict = judged.verdicts[i];
    const platform::AdapterRecord& record = list.records[i];
    if (judged.chosen && i > *judged.chosen) {
      Require(verdict.outcome == Outcome::kNotReached, "adapters after the chosen one");
      continue;
    }
    if (judged.chosen && i == *judged.chosen) {
      Require(verdict.outcome == Outcome::kChosen, "the chosen adapter's verdict");
      Require(!HoldsExcludedWord(DescriptionText(record)), "chosen description has no word");
      Require(!sources::IsExcludedAdapterAddress(record.address, entries),
              "chosen address is not excluded");
      for (const std::string& entry : entries) {
        Require(!PatternMatches(entry, record.address), "no filter entry names the chosen one");
      }
      continue;
    }
    if (i >= sources::kMaxExaminedAdapters) {
      Require(verdict.outcome == Outcome::kPastExamLimit, "adapters past the eleventh");
      continue;
    }
    switch (verdict.outcome) {
      case Outcome::kSkippedForDescription:
        Require(!verdict.descriptionWord.empty() &&
                    DescriptionText(record).find(verdict.descriptionWord) != std::string_view::npos,
                "a description skip names a word within the description's text");
        break;
      case Outcome::kSkippedForAddress: {
        Require(!HoldsExcludedWord(DescriptionText(record)), "descriptions are tested first");
        const AddressExclusion& exclusion = verdict.exclusion;
        if (exclusion.rule == AddressExclusion::Rule::kFilterEntry) {
          Require(exclusion.index < entries.size() &&
                      PatternMatches(entries[exclusion.index], record.address),
                  "a filter-entry skip names an entry that matches the address");
        } else {
          Require(exclusion.rule == AddressExclusion::Rule::kTableRow && entries.empty() &&
                      exclusion.index >= 1 && exclusion.index <= 8,
                  "a table skip only without filter entries, rows 1 to 8");
        }
        break;
      }
      default:
        Require(false, "every adapter before the chosen one is skipped for a reason");
    }
  }
}

// The filter list store of a fresh process, holding `stored` as "filter0", "filter1", ...
// (verified or not) and `sizeText` as "filter_size"; nothing when `withPath` is false.
std::vector<std::string> ExpectedEntriesAfterStoring(const std::vector<std::string>& stored,
                                                     const std::vector<bool>& verified,
                                                     const std::string& sizeText, bool withPath) {
  fake::ResetRegistry();
  if (withPath) fake::SetRegistryText(kInstallKey, kInstallPathValue, kInstallPath);
  filter::FilterListStore::ReleaseInstance();
  filter::FilterListStore& store = filter::FilterListStore::Instance();
  filter::FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection, "filter_size", sizeText);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const std::string key = "filter" + std::to_string(i);
    if (verified[i]) {
      filter::FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection, key, stored[i]);
    } else {
      filter::FilterListStoreTesting::AddRawEntry(store, kFilterSection, key, stored[i]);
    }
  }

  std::vector<std::string> expected;
  if (!withPath) return expected;
  const std::int32_t count = std::min(LeadingInteger(sizeText), sources::kMaxFilterEntries);
  for (std::int32_t i = 0; i < count && static_cast<std::size_t>(i) < stored.size(); ++i) {
    if (verified[i] && stored[i].size() == sources::kFilterEntryLength) {
      expected.push_back(stored[i]);
    }
  }
  return expected;
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  FuzzedDataProvider provider(data, size);

  const std::size_t entryCount = provider.ConsumeIntegralInRange<std::size_t>(0, fuzz::kMaxEntries);
  std::vector<std::string> stored;
  std::vector<bool> verified;
  for (std::size_t i = 0; i < entryCount; ++i) {
    stored.push_back(provider.ConsumeRandomLengthString(fuzz::kMaxEntryLength));
    verified.push_back(provider.ConsumeIntegralInRange<int>(0, 7) != 0);
  }
  const std::string sizeText = provider.ConsumeRandomLengthString(fuzz::kMaxSizeTextLength);
  const bool withPath = provider.ConsumeBool();

  platform::AdapterList list;
  list.count = provider.ConsumeIntegralInRange<std::size_t>(0, fuzz::kMaxListedCount);
  for (std::size_t i = 0; i < std::min(list.count, platform::kMaxAdapters); ++i) {
    const std::string description = provider.ConsumeRandomLengthString(fuzz::kMaxDescriptionLength);
    platform::AdapterRecord& record = list.records[i];
    std::copy_n(description.begin(), std::min(description.size(), record.description.size()),
                record.description.begin());
    const std::vector<std::uint8_t> address =
        provider.ConsumeBytes<std::uint8_t>(platform::kAdapterAddressSize);
    std::copy(address.begin(), address.end(), record.address.begin());
  }

  // The pure verdicts, with the entries as given (any length) and with none.
  sources::FilterEntries entries(stored.begin(), stored.end());
  fuzz::CheckVerdicts(list, entries);
  fuzz::CheckVerdicts(list, {});

  // The whole source: entries through the store, adapters through the scripted listing.
  const std::vector<std::string> expectedEntries =
      fuzz::ExpectedEntriesAfterStoring(stored, verified, sizeText, withPath);
  fuzz::Require(sources::ReadFilterEntries() == expectedEntries,
                "the filter entries are the verified 12-character values, in key order");

  fake::ResetAdapters();
  const std::size_t listed = std::min(list.count, platform::kMaxAdapters);
  fake::Adapters().adapters.assign(list.records.begin(), list.records.begin() + listed);
  platform::AdapterList scripted = list;
  scripted.count = listed;
  for (std::uint8_t mode : {sources::kFilterListOff, sources::kFilterListOn}) {
    const sources::FilterEntries modeEntries =
        mode == sources::kFilterListOn ? expectedEntries : sources::FilterEntries{};
    const sources::AdapterVerdicts judged = sources::JudgeAdapters(scripted, modeEntries);
    ByteString output = {0xAA, 0xBB};  // junk the source must clear
    const bool found = sources::ReadAdapterAddresses(output, mode);
    fuzz::Require(found == (listed > 0 && judged.chosen.has_value()),
                  "an address exactly when the listing has an acceptable adapter");
    if (found) {
      const auto& address = scripted.records[*judged.chosen].address;
      fuzz::Require(output == ByteString(address.begin(), address.end()),
                    "the chosen adapter's six address bytes");
    } else {
      fuzz::Require(output.empty(), "no address leaves the output empty");
    }
  }
  return 0;
}

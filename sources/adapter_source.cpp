#include "sources/adapter_source.h"

#include <algorithm>
#include <cstring>

#include "core/hex_text.h"
#include "filter/filter_list_store.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

constexpr char kFilterSection[] = "filter_nodmark";
constexpr char kFilterSizeKey[] = "filter_size";
constexpr char kFilterKeyPrefix[] = "filter";
constexpr char kWildcardDigit = 'N';

// Addresses that are never a real adapter's (DEST..., all ones, all zeros, LOOP...) or
// that belong to virtual and dial-up adapters whose descriptions do not say so.
constexpr int kAnyByte = -1;
constexpr std::size_t kTableRows = 8;
constexpr std::array<std::array<int, platform::kAdapterAddressSize>, kTableRows> kExcludedAddresses{
    {
        {0x44, 0x45, 0x53, 0x54, kAnyByte, kAnyByte},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0x00, 0x50, 0x56, 0xC0, kAnyByte, kAnyByte},
        {0x00, 0xE0, 0x06, 0x09, 0x55, 0x66},
        {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50},
        {0x02, 0x50, 0xF2, 0x3D, 0x00, 0x01},
        {0x06, 0x00, 0xAF, 0x09, 0x0C, 0x00},
    }};

bool MatchesRow(const AdapterAddress& address,
                const std::array<int, platform::kAdapterAddressSize>& row) {
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (row[i] != kAnyByte && row[i] != address[i]) return false;
  }
  return true;
}

bool MatchesEntry(const std::string& addressText, const std::string& entry) {
  if (entry.size() != addressText.size()) return false;
  for (std::size_t i = 0; i < entry.size(); ++i) {
    if (entry[i] != kWildcardDigit && entry[i] != addressText[i]) return false;
  }
  return true;
}

}  // namespace

FilterEntries ReadFilterEntries() {
  const filter::FilterListStore& store = filter::FilterListStore::Instance();
  FilterEntries entries;
  if (store.FilePath().empty()) return entries;

  // A count of zero or less reads nothing; a count above the bound reads the first
  // kMaxFilterEntries keys, so a corrupt count can neither stall nor hide real entries.
  const std::int32_t count =
      std::min(store.GetInt(kFilterSection, kFilterSizeKey, /*defaultValue=*/0), kMaxFilterEntries);
  for (std::int32_t i = 0; i < count; ++i) {
    std::string value = store.GetString(kFilterSection, kFilterKeyPrefix + std::to_string(i),
                                        /*defaultValue=*/"");
    if (value.size() == kFilterEntryLength) entries.push_back(std::move(value));
  }
  return entries;
}

std::string_view AdapterDescription(const platform::AdapterRecord& adapter) {
  const char* begin = adapter.description.data();
  const char* end = std::find(begin, begin + adapter.description.size(), '\0');
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::string_view FindExcludedDescriptionWord(const platform::AdapterRecord& adapter) {
  const std::string_view description = AdapterDescription(adapter);
  for (std::string_view word : kExcludedDescriptionWords) {
    if (description.find(word) != std::string_view::npos) return word;
  }
  return {};
}

AddressExclusion FindAddressExclusion(const AdapterAddress& address,
                                      const FilterEntries& filterEntries) {
  if (!filterEntries.empty()) {
    std::string addressText;
    core::AppendHexBytes(addressText, address.data(), address.size());
    // Any one matching entry excludes the address, as any one row of the table does: a
    // list of several patterns names several addresses or ranges to skip.
    for (std::size_t i = 0; i < filterEntries.size(); ++i) {
      if (MatchesEntry(addressText, filterEntries[i])) {
        return {AddressExclusion::Rule::kFilterEntry, i};
      }
    }
    return {};
  }
  for (std::size_t row = 0; row < kExcludedAddresses.size(); ++row) {
    if (MatchesRow(address, kExcludedAddresses[row])) {
      return {AddressExclusion::Rule::kTableRow, row + 1};
    }
  }
  return {};
}

bool IsExcludedAdapterAddress(const AdapterAddress& address, const FilterEntries& filterEntries) {
  return FindAddressExclusion(address, filterEntries).excludes();
}

AdapterVerdicts JudgeAdapters(const platform::AdapterList& adapters,
                              const FilterEntries& filterEntries) {
  AdapterVerdicts result;
  result.count = std::min(adapters.count, adapters.records.size());
  for (std::size_t i = 0; i < result.count; ++i) {
    AdapterVerdict& verdict = result.verdicts[i];
    if (result.chosen) {
      verdict.outcome = AdapterVerdict::Outcome::kNotReached;
    } else if (i >= kMaxExaminedAdapters) {
      verdict.outcome = AdapterVerdict::Outcome::kPastExamLimit;
    } else if (const std::string_view word = FindExcludedDescriptionWord(adapters.records[i]);
               !word.empty()) {
      verdict.outcome = AdapterVerdict::Outcome::kSkippedForDescription;
      verdict.descriptionWord = word;
    } else if (const AddressExclusion exclusion =
                   FindAddressExclusion(adapters.records[i].address, filterEntries);
               exclusion.excludes()) {
      verdict.outcome = AdapterVerdict::Outcome::kSkippedForAddress;
      verdict.exclusion = exclusion;
    } else {
      verdict.outcome = AdapterVerdict::Outcome::kChosen;
      result.chosen = i;
    }
  }
  return result;
}

bool ReadAdapterAddresses(ByteString& output, std::uint8_t mode) {
  output.clear();
  const FilterEntries filterEntries =
      mode == kFilterListOff ? FilterEntries{} : ReadFilterEntries();

  const std::optional<platform::AdapterList> adapters = platform::ListNetworkAdapters();
  if (!adapters) return false;
  const AdapterVerdicts verdicts = JudgeAdapters(*adapters, filterEntries);
  if (!verdicts.chosen) return false;

  const AdapterAddress& address = adapters->records[*verdicts.chosen].address;
  output.assign(address.begin(), address.end());
  return true;
}

}  // namespace nodmark::sources

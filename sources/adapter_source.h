#ifndef NODMARK_SOURCES_ADAPTER_SOURCE_H_
#define NODMARK_SOURCES_ADAPTER_SOURCE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/adapters.h"

// How the network adapter source picks its adapter, as pure functions over an adapter
// listing, so that a tool can show each adapter's verdict as well as the choice.
// ReadAdapterAddresses (machine_sources.h) is built on them.
namespace nodmark::sources {

using AdapterAddress = std::array<std::uint8_t, platform::kAdapterAddressSize>;

// Address patterns from the filter list store: 12 characters each, one per hex digit of
// the address text; "N" matches any digit.
using FilterEntries = std::vector<std::string>;

inline constexpr std::size_t kFilterEntryLength = 12;

// Words whose presence (case-sensitive, anywhere) in a description marks a dial-up,
// virtual or serial-line adapter, in the order tested.
inline constexpr std::string_view kExcludedDescriptionWords[] = {"PPP", "VMare", "Virtual", "SLIP",
                                                                 "P.P.P"};

// Adapters examined per listing: the first eleven, although a listing holds twelve.
inline constexpr std::size_t kMaxExaminedAdapters = 11;

// Filter entries read per call at most, whatever count the store gives. Far above any
// real list (an entry names one address or one vendor's range), low enough that a
// corrupt count costs well under a millisecond of lookups.
inline constexpr std::int32_t kMaxFilterEntries = 256;

// The filter list store's entries for the adapter source: none when the store has no
// file path, else the values of "filter0", "filter1", ... in section "filter_nodmark"
// (at most "filter_size" of them, and at most kMaxFilterEntries) that are exactly 12
// characters long, in key order. Creates the process's store on the first call. May
// throw std::bad_alloc.
FilterEntries ReadFilterEntries();

// An adapter's description as text: up to its first zero byte, and never past its 132
// bytes, which the OS may fill without a terminator.
std::string_view AdapterDescription(const platform::AdapterRecord& adapter);

// The first excluded word, in test order, that the description contains; empty when
// none does.
std::string_view FindExcludedDescriptionWord(const platform::AdapterRecord& adapter);

// Which rule of the address test skips an address.
struct AddressExclusion {
  enum class Rule { kNone, kTableRow, kFilterEntry };
  Rule rule = Rule::kNone;
  // kTableRow: the row of the built-in table, 1 to 8. kFilterEntry: the position of
  // the matching entry in the filter entries, from 0.
  std::size_t index = 0;

  bool excludes() const { return rule != Rule::kNone; }
};

// The address test. With filter entries (list mode) an address is excluded when its
// text matches any one entry; an entry of another length than 12 matches nothing, and
// the built-in table is not consulted. Without entries (table mode) it is excluded when
// it matches any row of the built-in table.
AddressExclusion FindAddressExclusion(const AdapterAddress& address,
                                      const FilterEntries& filterEntries);
bool IsExcludedAdapterAddress(const AdapterAddress& address, const FilterEntries& filterEntries);

// What the source made of one adapter of a listing.
struct AdapterVerdict {
  enum class Outcome {
    kChosen,                 // the first adapter that passed both tests
    kSkippedForDescription,  // `descriptionWord` occurs in its description
    kSkippedForAddress,      // `exclusion` names the rule that skips its address
    kNotReached,             // an earlier adapter was chosen
    kPastExamLimit,          // after the eleventh adapter; never examined
  };
  Outcome outcome = Outcome::kNotReached;
  std::string_view descriptionWord;  // one of kExcludedDescriptionWords
  AddressExclusion exclusion;
};

// A verdict for each adapter of a listing, in listing order.
struct AdapterVerdicts {
  std::array<AdapterVerdict, platform::kMaxAdapters> verdicts{};
  std::size_t count = 0;
  // The index of the chosen adapter, if any.
  std::optional<std::size_t> chosen;
};

// Walks the listing as the source does: the first eleven adapters in order, the
// description test before the address test, stopping at the first adapter that passes
// both. Pure: reads nothing but its arguments.
AdapterVerdicts JudgeAdapters(const platform::AdapterList& adapters,
                              const FilterEntries& filterEntries);

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_ADAPTER_SOURCE_H_

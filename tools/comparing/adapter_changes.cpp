#include "tools/comparing/adapter_changes.h"

#include <optional>
#include <string>
#include <utility>

#include "tools/explaining/explain_text.h"
#include "tools/words/phrases.h"

namespace nodmark::tools {
namespace {

using Outcome = sources::AdapterVerdict::Outcome;

// One reading's walk of its listing: the legacy recipe's (no filter list) or the
// other two's.
struct Walk {
  const std::optional<platform::AdapterList>& listing;
  const sources::AdapterVerdicts& verdicts;
  const sources::FilterEntries& filterEntries;
  const std::optional<std::uint32_t>& volumeSerial;

  const platform::AdapterRecord* Chosen() const {
    return verdicts.chosen ? &listing->records[*verdicts.chosen] : nullptr;
  }
  // The position of the adapter with `address` in this listing, if it is listed.
  std::optional<std::size_t> Find(const sources::AdapterAddress& address) const {
    for (std::size_t i = 0; listing && i < listing->count; ++i) {
      if (listing->records[i].address == address) return i;
    }
    return std::nullopt;
  }
  // The verdict's phrase, which quotes the filter entry that skips the adapter.
  std::string Verdict(std::size_t index, Contents& held) const {
    const sources::AdapterVerdict& verdict = verdicts.verdicts[index];
    if (verdict.outcome == sources::AdapterVerdict::Outcome::kSkippedForAddress &&
        verdict.exclusion.rule == sources::AddressExclusion::Rule::kFilterEntry) {
      held.set(static_cast<std::size_t>(Content::kFilterEntries));
    }
    return VerdictPhrase(verdict, filterEntries);
  }
};

// The legacy recipe walks without the filter list.
const sources::FilterEntries& NoFilterEntries() {
  static const sources::FilterEntries none;
  return none;
}

Walk OldWalk(const ComposedReport& reading) {
  return {reading.composed.listing, reading.composed.withoutFilterList, NoFilterEntries(),
          reading.report.volumeSerial};
}

Walk NewWalk(const ComposedReport& reading) {
  return {reading.composed.listing, reading.composed.withFilterList, reading.report.filterEntries,
          reading.report.volumeSerial};
}

void Mark(Contents& held, Content kind) { held.set(static_cast<std::size_t>(kind)); }

std::string Address(const sources::AdapterAddress& address, Contents& held) {
  Mark(held, Content::kAdapterAddresses);
  return AddressText(address);
}

std::string Description(const platform::AdapterRecord& record, Contents& held) {
  Mark(held, Content::kAdapterDescriptions);
  return QuoteText(sources::AdapterDescription(record));
}

// "adapter 2, 001A2B3C4D5E "Intel(R) PRO/1000""
std::string AdapterText(const Walk& walk, std::size_t index, Contents& held) {
  const platform::AdapterRecord& record = walk.listing->records[index];
  return "adapter " + std::to_string(index + 1) + ", " + Address(record.address, held) + " " +
         Description(record, held);
}

std::string ChoiceText(const Walk& walk, Contents& held) {
  if (walk.verdicts.chosen) return AdapterText(walk, *walk.verdicts.chosen, held);
  if (!walk.listing) {
    return "none (the listing gave nothing: no adapters, or more than " +
           std::to_string(platform::kMaxAdapters) + ")";
  }
  return "none (every adapter examined was skipped)";
}

// What stands in for the adapter in the legacy and current identifiers.
std::string StandInText(const Walk& walk, Contents& held) {
  if (walk.volumeSerial) {
    Mark(held, Content::kVolumeSerial);
    return "the serial of volume c:\\ (" + SerialText(*walk.volumeSerial) + ")";
  }
  return "sixteen F's (there is no volume serial either)";
}

// Why the walk chose the adapter at `address` now and not before.
std::string WhyNotBefore(const Walk& before, const sources::AdapterAddress& address,
                         Contents& held) {
  if (!before.listing) return "before, the listing itself gave nothing";
  const std::optional<std::size_t> earlier = before.Find(address);
  if (!earlier) return "it was not listed before: a new adapter";
  return "before, as adapter " + std::to_string(*earlier + 1) + ", it was " +
         before.Verdict(*earlier, held);
}

// The earlier choice is no longer chosen: says why and sets the change's code.
void ExplainLostChoice(const Walk& before, const Walk& after, InputChange& change) {
  Contents& held = change.contents;
  const platform::AdapterRecord& earlier = *before.Chosen();
  const std::string named = Address(earlier.address, held) + " " + Description(earlier, held);
  if (!after.listing) {
    change.change = "listing_refused";
    change.lines.push_back(
        "the adapter listing itself gave nothing: there are no adapters, or more than " +
        std::to_string(platform::kMaxAdapters) +
        ", and a listing that does not fit is refused whole");
    return;
  }
  const std::optional<std::size_t> now = after.Find(earlier.address);
  const platform::AdapterRecord* chosen = after.Chosen();
  if (!now) {
    change.change = "gone";
    change.lines.push_back(named +
                           " is gone from the listing: the card was removed or replaced, or its "
                           "address changed");
    if (chosen != nullptr &&
        sources::AdapterDescription(*chosen) == sources::AdapterDescription(earlier)) {
      change.change = "address_changed";
      change.lines.push_back(
          "the adapter now chosen has the same description and another address: an address "
          "set by software changes so (a randomised Wi-Fi address, a virtual machine's)");
    }
    return;
  }
  const std::string position = "adapter " + std::to_string(*now + 1);
  const sources::AdapterVerdict& verdict = after.verdicts.verdicts[*now];
  switch (verdict.outcome) {
    case Outcome::kSkippedForDescription:
    case Outcome::kSkippedForAddress:
      change.change = "skipped";
      change.lines.push_back(named + ", now " + position + ", is " + after.Verdict(*now, held));
      break;
    case Outcome::kPastExamLimit:
      change.change = "past_exam_limit";
      change.lines.push_back(
          named + " is now " + position + ", past the eleventh place, and only the first " +
          std::to_string(sources::kMaxExaminedAdapters) +
          " adapters are examined (the listing grew from " + std::to_string(before.listing->count) +
          " to " + std::to_string(after.listing->count) + " adapters)");
      break;
    case Outcome::kNotReached:
      change.change = "ranked_ahead";
      change.lines.push_back(named + ", now " + position + ", is not examined: " +
                             AdapterText(after, *after.verdicts.chosen, held) +
                             " ranks ahead of it and is chosen");
      change.lines.push_back(WhyNotBefore(before, chosen->address, held));
      break;
    case Outcome::kChosen:
      break;  // chosen again: the listing holds its address twice
  }
  if (sources::AdapterDescription(after.listing->records[*now]) !=
      sources::AdapterDescription(earlier)) {
    change.lines.push_back("its description was " + Description(earlier, held) + " and is now " +
                           Description(after.listing->records[*now], held));
  }
}

// The walk's choice in both readings; nullopt when both chose nothing, or the same
// adapter at the same place under the same description.
std::optional<InputChange> CompareChoice(const Walk& before, const Walk& after,
                                         std::vector<const char*> identifiers) {
  const platform::AdapterRecord* earlier = before.Chosen();
  const platform::AdapterRecord* chosen = after.Chosen();
  if (earlier == nullptr && chosen == nullptr) return std::nullopt;

  InputChange change;
  change.input = "adapter";
  Contents& held = change.contents;
  if (earlier != nullptr) change.before = Address(earlier->address, held);
  if (chosen != nullptr) change.after = Address(chosen->address, held);
  if (earlier != nullptr && chosen != nullptr && earlier->address == chosen->address) {
    // The same address keys the identifiers: only where and how it is listed moved.
    const std::string named = "the chosen adapter " + Address(chosen->address, held);
    if (*before.verdicts.chosen != *after.verdicts.chosen) {
      change.change = "moved";
      change.lines.push_back(named + " is the same, now adapter " +
                             std::to_string(*after.verdicts.chosen + 1) + " (was " +
                             std::to_string(*before.verdicts.chosen + 1) + ")");
    }
    if (sources::AdapterDescription(*earlier) != sources::AdapterDescription(*chosen)) {
      if (change.lines.empty()) change.change = "described_otherwise";
      change.lines.push_back(named + " was described as " + Description(*earlier, held) +
                             " and is now " + Description(*chosen, held));
    }
    if (change.lines.empty()) return std::nullopt;
    return change;
  }

  change.identifiers = std::move(identifiers);
  change.lines.push_back("before: " + ChoiceText(before, held));
  change.lines.push_back("after:  " + ChoiceText(after, held));
  if (earlier != nullptr) {
    ExplainLostChoice(before, after, change);
  } else {
    change.change = "now_chosen";
    change.lines.push_back("an adapter is chosen where none was; " +
                           WhyNotBefore(before, chosen->address, held));
    change.lines.push_back("in place of an adapter address the key was " +
                           StandInText(before, held));
  }
  if (chosen == nullptr) {
    change.lines.push_back("in place of an adapter address the key is now " +
                           StandInText(after, held));
  }
  return change;
}

// The adapters that came into or left the listing, when no choice moved.
std::optional<InputChange> CompareListings(const Walk& before, const Walk& after) {
  InputChange change;
  change.input = "adapter_listing";
  change.change = "changed";
  Contents& held = change.contents;
  if (before.listing.has_value() != after.listing.has_value()) {
    change.lines.push_back(std::string(after.listing ? "now" : "before") +
                           " the listing gave nothing: no adapters, or more than " +
                           std::to_string(platform::kMaxAdapters));
  }
  for (std::size_t i = 0; after.listing && i < after.listing->count; ++i) {
    if (before.listing && !before.Find(after.listing->records[i].address)) {
      change.lines.push_back("added: " + AdapterText(after, i, held) + ", " +
                             after.Verdict(i, held));
    }
  }
  for (std::size_t i = 0; before.listing && i < before.listing->count; ++i) {
    if (after.listing && !after.Find(before.listing->records[i].address)) {
      change.lines.push_back("removed: " + AdapterText(before, i, held));
    }
  }
  if (change.lines.empty()) return std::nullopt;
  return change;
}

bool TellTheSame(const InputChange& a, const InputChange& b) {
  return std::string(a.change) == b.change && a.lines == b.lines;
}

}  // namespace

std::vector<InputChange> CompareAdapters(const ComposedReport& before,
                                         const ComposedReport& after) {
  std::optional<InputChange> old = CompareChoice(OldWalk(before), OldWalk(after), {kOldName});
  std::optional<InputChange> current =
      CompareChoice(NewWalk(before), NewWalk(after), {kNewName, kComplicateName});
  std::vector<InputChange> changes;
  if (old && current && TellTheSame(*old, *current)) {
    // Without filter entries both walks are one: one change for all three identifiers.
    current->identifiers.insert(current->identifiers.begin(), old->identifiers.begin(),
                                old->identifiers.end());
    old.reset();
  }
  if (old) changes.push_back(std::move(*old));
  if (current) changes.push_back(std::move(*current));

  bool choiceMoved = false;
  for (const InputChange& change : changes)
    choiceMoved = choiceMoved || !change.identifiers.empty();
  if (!choiceMoved) {
    if (std::optional<InputChange> listing = CompareListings(OldWalk(before), OldWalk(after))) {
      changes.push_back(std::move(*listing));
    }
  }
  return changes;
}

}  // namespace nodmark::tools

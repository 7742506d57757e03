#include "sources/adapter_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "fake/fake_adapters.h"
#include "fake/fake_registry.h"
#include "filter/filter_list_store_testing.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

using fake::MakeAdapter;
using filter::FilterListStore;
using filter::FilterListStoreTesting;

constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";
constexpr char kFilterSection[] = "filter_nodmark";

const ByteString kGood = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
const ByteString kOther = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

class AdapterSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    adapters = &fake::ResetAdapters();
    fake::ResetRegistry();
    FilterListStore::ReleaseInstance();
  }
  void TearDown() override { FilterListStore::ReleaseInstance(); }

  void AddAdapter(const std::string& description, std::initializer_list<std::uint8_t> address) {
    adapters->adapters.push_back(MakeAdapter(description, address));
  }

  // Creates the process's store with a file path and the given entries, verified, under
  // "filter_size" (as text, so that malformed counts can be stored) and "filter<i>".
  static void UseFilterList(const std::string& count,
                            const std::vector<std::pair<int, std::string>>& entries) {
    fake::SetRegistryText(kInstallKey, "Path", "C:\\Apps\\Client\\client.exe");
    filter::FilterListStore& store = filter::FilterListStore::Instance();
    ASSERT_FALSE(store.FilePath().empty());
    FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection, "filter_size", count);
    for (const auto& [index, value] : entries) {
      FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection,
                                               "filter" + std::to_string(index), value);
    }
  }

  // The address both modes choose, or an empty string when one of them gives false.
  ByteString Choose(std::uint8_t mode) {
    ByteString output = {0xDE, 0xAD, 0xBE, 0xEF};  // junk the call must replace
    if (!ReadAdapterAddresses(output, mode)) {
      EXPECT_TRUE(output.empty()) << "false must leave the output empty";
      return {};
    }
    EXPECT_EQ(output.size(), 6u);
    return output;
  }

  fake::AdapterScript* adapters = nullptr;
};

// --- The description test -----------------------------------------------------------

TEST_F(AdapterSourceTest, SkipsVirtualDescriptionAndTakesNext) {
  AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
  AddAdapter("Intel(R) PRO/1000 MT Network Connection", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOff), kGood);
  EXPECT_EQ(Choose(kFilterListOn), kGood);
}

TEST_F(AdapterSourceTest, EachExclusionWordSkipsWhereverItOccurs) {
  const char* const descriptions[] = {
      "PPP Adapter",         "WAN Miniport (PPP)", "VMare adapter", "Xen Virtual NIC",
      "Microsoft SLIP link", "dial-up P.P.P",      "Virtual",       "xxPPPxx",
  };
  for (const char* description : descriptions) {
    fake::ResetAdapters();
    AddAdapter(description, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
    AddAdapter("Realtek PCIe GbE Family Controller", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    EXPECT_EQ(Choose(kFilterListOff), kGood) << description;
  }
}

TEST_F(AdapterSourceTest, DescriptionTestIsCaseSensitiveAndExact) {
  // "virtual" in lower case, VMware (which does not contain "VMare"), "ppp", "S.L.I.P".
  const char* const descriptions[] = {
      "virtual ethernet", "VMware Network Adapter VMnet8", "ppp0", "S.L.I.P", "P.P.", "PP P"};
  for (const char* description : descriptions) {
    fake::ResetAdapters();
    AddAdapter(description, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
    AddAdapter("Realtek PCIe GbE Family Controller", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    EXPECT_EQ(Choose(kFilterListOff), kOther) << description;
  }
}

TEST_F(AdapterSourceTest, DescriptionFillingAll132BytesIsReadNoFurther) {
  // 127 bytes of text and "Virtu" fill the field with no terminator; the address that
  // follows it in the record starts with the bytes of "al". A description test that ran
  // past the field would find "Virtual" and skip the adapter.
  const std::string text = std::string(127, 'x') + "Virtu";
  ASSERT_EQ(text.size(), platform::kAdapterDescriptionSize);
  AddAdapter(text, {'a', 'l', 0x22, 0x33, 0x44, 0x55});
  EXPECT_EQ(Choose(kFilterListOff), (ByteString{'a', 'l', 0x22, 0x33, 0x44, 0x55}));

  // A word in the last bytes of such a field is still found.
  fake::ResetAdapters();
  AddAdapter(std::string(125, 'x') + "Virtual", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  AddAdapter("Realtek PCIe GbE Family Controller", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOff), kGood);
}

TEST_F(AdapterSourceTest, DescriptionEndsAtItsFirstZeroByte) {
  AddAdapter(std::string("Intel\0Virtual", 13), {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  EXPECT_EQ(Choose(kFilterListOff), kOther);
}

// --- The listing ----------------------------------------------------------------------

TEST_F(AdapterSourceTest, OnlyTheFirstElevenAdaptersAreExamined) {
  for (int i = 0; i < 11; ++i) AddAdapter("Virtual adapter", {0x02, 0x00, 0x00, 0x00, 0x00, 0x01});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  ASSERT_EQ(adapters->adapters.size(), 12u);
  EXPECT_EQ(Choose(kFilterListOff), ByteString());
  EXPECT_EQ(Choose(kFilterListOn), ByteString());

  // The eleventh is still examined.
  adapters->adapters.erase(adapters->adapters.begin());
  EXPECT_EQ(Choose(kFilterListOff), kGood);
}

TEST_F(AdapterSourceTest, FailedOrEmptyListingGivesFalse) {
  EXPECT_EQ(Choose(kFilterListOff), ByteString());
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  adapters->fails = true;
  EXPECT_EQ(Choose(kFilterListOff), ByteString());
  EXPECT_EQ(Choose(kFilterListOn), ByteString());
}

TEST_F(AdapterSourceTest, EveryCallListsTheAdaptersAfresh) {
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOff), kGood);
  adapters->adapters[0].address[5] = 0x5F;
  EXPECT_EQ(Choose(kFilterListOff), (ByteString{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F}));
  EXPECT_EQ(adapters->listings, 2);
}

// --- The built-in address table (no filter entries) ------------------------------------

TEST_F(AdapterSourceTest, TableRowsSkipTheirAddresses) {
  const std::vector<std::vector<std::uint8_t>> excluded = {
      {0x44, 0x45, 0x53, 0x54, 0x00, 0x00},  // row 1, whatever its last two bytes
      {0x44, 0x45, 0x53, 0x54, 0xAB, 0xCD},
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // row 2
      {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // row 3
      {0x00, 0x00, 0x00, 0x00},              // row 3: a four-byte address, zero-padded
      {0x00, 0x50, 0x56, 0xC0, 0x00, 0x08},  // row 4
      {0x00, 0xE0, 0x06, 0x09, 0x55, 0x66},  // row 5
      {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50},  // row 6
      {0x02, 0x50, 0xF2, 0x3D, 0x00, 0x01},  // row 7
      {0x06, 0x00, 0xAF, 0x09, 0x0C, 0x00},  // row 8
  };
  for (std::size_t i = 0; i < excluded.size(); ++i) {
    fake::ResetAdapters();
    platform::AdapterRecord record = MakeAdapter("Intel(R) Ethernet", {});
    std::memcpy(record.address.data(), excluded[i].data(), excluded[i].size());
    adapters->adapters.push_back(record);
    AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    EXPECT_EQ(Choose(kFilterListOff), kGood) << "address " << i;
    EXPECT_EQ(Choose(kFilterListOn), kGood) << "address " << i;
  }
}

TEST_F(AdapterSourceTest, AddressesNextToTableRowsPass) {
  const std::vector<AdapterAddress> passing = {
      {0x44, 0x45, 0x53, 0x55, 0x00, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE},
      {0x00, 0x00, 0x00, 0x00, 0x00, 0x01}, {0x00, 0x50, 0x56, 0xC1, 0x00, 0x08},
      {0x00, 0xE0, 0x06, 0x09, 0x55, 0x67}, {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x51},
      {0x02, 0x50, 0xF2, 0x3D, 0x00, 0x02}, {0x06, 0x00, 0xAF, 0x09, 0x0C, 0x01},
  };
  for (std::size_t i = 0; i < passing.size(); ++i) {
    EXPECT_FALSE(IsExcludedAdapterAddress(passing[i], {})) << "address " << i;
  }
}

// --- The filter list (mode 1 with a store that has a file path) -------------------------

TEST_F(AdapterSourceTest, ListModeSkipsWhatAnEntryMatchesAndIgnoresTheTable) {
  UseFilterList("1", {{0, "00NNNNNNNNNN"}});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  AddAdapter("Intel(R) Ethernet", {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  AddAdapter("Loopback", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  EXPECT_EQ(Choose(kFilterListOn), (ByteString{0x44, 0x45, 0x53, 0x54, 0x00, 0x01}));
  // Mode 0 never looks at the list.
  EXPECT_EQ(Choose(kFilterListOff), kGood);
}

TEST_F(AdapterSourceTest, LowerCaseEntryNeverMatchesALetter) {
  UseFilterList("1", {{0, "001a2b3c4d5e"}});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOn), kGood);

  EXPECT_TRUE(IsExcludedAdapterAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {"001A2B3C4D5E"}));
  EXPECT_TRUE(IsExcludedAdapterAddress({0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, {"001122334455"}));
  EXPECT_FALSE(IsExcludedAdapterAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {"NNNNNNNNNNNe"}));
  // Only an upper-case N is a wildcard.
  EXPECT_FALSE(IsExcludedAdapterAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {"nnnnnnnnnnnn"}));
}

TEST_F(AdapterSourceTest, ValuesOf11Or13CharactersAreIgnoredAmongGoodOnes) {
  UseFilterList("3", {{0, "00NNNNNNNNN"}, {1, "02NNNNNNNNNN"}, {2, "00NNNNNNNNNNN"}});
  EXPECT_EQ(ReadFilterEntries(), (FilterEntries{"02NNNNNNNNNN"}));
  AddAdapter("Intel(R) Ethernet", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOn), kGood);
}

TEST_F(AdapterSourceTest, AnAddressMatchingAnyOneEntryIsSkipped) {
  UseFilterList("2", {{0, "02NNNNNNNNNN"}, {1, "00NNNNNNNNNN"}});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  AddAdapter("Intel(R) Ethernet", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  AddAdapter("Intel(R) Ethernet", {0x04, 0x11, 0x22, 0x33, 0x44, 0x55});
  EXPECT_EQ(Choose(kFilterListOn), (ByteString{0x04, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(AdapterSourceTest, EntryOfAnotherLengthMatchesNothing) {
  const AdapterAddress address = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  EXPECT_FALSE(IsExcludedAdapterAddress(address, {"00NNNNNNNNN", "00NNNNNNNNNNN", ""}));
  // The list is not empty, so the table does not apply either.
  EXPECT_FALSE(IsExcludedAdapterAddress({0x44, 0x45, 0x53, 0x54, 0x00, 0x01}, {""}));
}

TEST_F(AdapterSourceTest, EntryCountsOfZeroOrLessReadNothing) {
  for (const char* count : {"0", "-5", "-2147483648", "none"}) {
    FilterListStore::ReleaseInstance();
    UseFilterList(count, {{0, "00NNNNNNNNNN"}});
    EXPECT_EQ(ReadFilterEntries(), FilterEntries()) << count;
  }
  // With no entries the table applies.
  fake::ResetAdapters();
  AddAdapter("Intel(R) Ethernet", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOn), kGood);
}

TEST_F(AdapterSourceTest, HugeEntryCountReadsOnlyTheFirstEntries) {
  UseFilterList("1000000000", {{0, "00NNNNNNNNNN"},
                               {kMaxFilterEntries - 1, "04NNNNNNNNNN"},
                               {kMaxFilterEntries, "02NNNNNNNNNN"}});
  EXPECT_EQ(ReadFilterEntries(), (FilterEntries{"00NNNNNNNNNN", "04NNNNNNNNNN"}));
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  AddAdapter("Intel(R) Ethernet", {0x04, 0x11, 0x22, 0x33, 0x44, 0x55});
  AddAdapter("Intel(R) Ethernet", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  EXPECT_EQ(Choose(kFilterListOn), kOther);

  // The count as a text with separators reads as atol reads it: 1.
  FilterListStore::ReleaseInstance();
  UseFilterList("1,000,000,000", {{0, "00NNNNNNNNNN"}, {1, "04NNNNNNNNNN"}});
  EXPECT_EQ(ReadFilterEntries(), (FilterEntries{"00NNNNNNNNNN"}));
}

TEST_F(AdapterSourceTest, ModeZeroNeverCreatesTheStore) {
  fake::SetRegistryText(kInstallKey, "Path", "C:\\Apps\\Client\\client.exe");
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOff), kGood);
  EXPECT_FALSE(FilterListStoreTesting::InstanceExists());
  EXPECT_EQ(fake::Registry().queries, 0);

  EXPECT_EQ(Choose(kFilterListOn), kGood);
  EXPECT_TRUE(FilterListStoreTesting::InstanceExists());
  EXPECT_EQ(fake::Registry().queries, 1);
}

TEST_F(AdapterSourceTest, EmptyStorePathMeansTableModeWhateverTheStoreHolds) {
  // No "Path" in the registry: entries the store might hold are not consulted.
  filter::FilterListStore& store = filter::FilterListStore::Instance();
  ASSERT_TRUE(store.FilePath().empty());
  FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection, "filter_size", "1");
  FilterListStoreTesting::AddVerifiedEntry(store, kFilterSection, "filter0", "00NNNNNNNNNN");
  EXPECT_EQ(ReadFilterEntries(), FilterEntries());

  AddAdapter("Intel(R) Ethernet", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOn), Choose(kFilterListOff));
  EXPECT_EQ(Choose(kFilterListOn), kGood);
}

TEST_F(AdapterSourceTest, StoreWithPathButNoEntriesGivesTheSameAsModeZero) {
  UseFilterList("0", {});
  AddAdapter("Virtual", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  AddAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  EXPECT_EQ(Choose(kFilterListOn), Choose(kFilterListOff));
  EXPECT_EQ(Choose(kFilterListOn), kGood);
}

// --- Verdicts, for a tool that explains the choice ------------------------------------

TEST_F(AdapterSourceTest, VerdictsTellWhyEachAdapterWasOrWasNotChosen) {
  platform::AdapterList list;
  const platform::AdapterRecord records[] = {
      MakeAdapter("PPP adapter", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55}),
      MakeAdapter("Intel(R) Ethernet", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
      MakeAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
      MakeAdapter("Intel(R) Ethernet", {0x04, 0x11, 0x22, 0x33, 0x44, 0x55}),
  };
  for (const auto& record : records) list.records[list.count++] = record;

  const AdapterVerdicts verdicts = JudgeAdapters(list, {});
  ASSERT_EQ(verdicts.count, 4u);
  EXPECT_EQ(verdicts.chosen, 2u);
  using Outcome = AdapterVerdict::Outcome;
  EXPECT_EQ(verdicts.verdicts[0].outcome, Outcome::kSkippedForDescription);
  EXPECT_EQ(verdicts.verdicts[0].descriptionWord, "PPP");
  EXPECT_EQ(verdicts.verdicts[1].outcome, Outcome::kSkippedForAddress);
  EXPECT_EQ(verdicts.verdicts[1].exclusion.rule, AddressExclusion::Rule::kTableRow);
  EXPECT_EQ(verdicts.verdicts[1].exclusion.index, 2u);
  EXPECT_EQ(verdicts.verdicts[2].outcome, Outcome::kChosen);
  EXPECT_EQ(verdicts.verdicts[3].outcome, Outcome::kNotReached);

  const AdapterVerdicts listed = JudgeAdapters(list, {"02NNNNNNNNNN", "00NNNNNNNNNN"});
  EXPECT_EQ(listed.chosen, 1u);
  EXPECT_EQ(listed.verdicts[1].outcome, Outcome::kChosen);
  const AdapterVerdicts skipped = JudgeAdapters(list, {"FFNNNNNNNNNN", "00NNNNNNNNNN"});
  EXPECT_EQ(skipped.chosen, 3u);
  EXPECT_EQ(skipped.verdicts[2].exclusion.rule, AddressExclusion::Rule::kFilterEntry);
  EXPECT_EQ(skipped.verdicts[2].exclusion.index, 1u);
}

TEST_F(AdapterSourceTest, VerdictsMarkTheTwelfthAdapterAsNeverExamined) {
  platform::AdapterList list;
  for (std::size_t i = 0; i < platform::kMaxAdapters; ++i) {
    list.records[list.count++] = MakeAdapter("SLIP", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  }
  list.records[11] = MakeAdapter("Intel(R) Ethernet", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const AdapterVerdicts verdicts = JudgeAdapters(list, {});
  EXPECT_FALSE(verdicts.chosen.has_value());
  EXPECT_EQ(verdicts.verdicts[10].outcome, AdapterVerdict::Outcome::kSkippedForDescription);
  EXPECT_EQ(verdicts.verdicts[11].outcome, AdapterVerdict::Outcome::kPastExamLimit);
}

}  // namespace
}  // namespace nodmark::sources

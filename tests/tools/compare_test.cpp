#include "tools/comparing/report_comparison.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fake/fake_clock.h"
#include "fake/fake_processor.h"
#include "fake/fake_profile.h"
#include "fake/fake_volume.h"
#include "tools/comparing/comparison_json.h"
#include "tools/comparing/comparison_text.h"
#include "tools/reports/explain_json.h"
#include "tools/reports/json_text.h"
#include "tools/reports/report_file.h"
#include "tools/reports/saved_report.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::uint32_t kDesktopSerial = 0x1A2B3C4D;
using Machine = ScriptedMachineTest;  // its helpers script the machine from the tables

// Readings of a scripted machine, saved as nodmark --json saves them and read back.
class CompareTest : public ScriptedMachineTest {
 protected:
  // A desktop: a virtual adapter the source skips, then the wired one it chooses; a
  // volume serial, a processor, a firmware text, and a store the first reading writes.
  void SetUp() override {
    ScriptedMachineTest::SetUp();
    AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
    AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    fake::Volumes().serialOfC = kDesktopSerial;
    fake::Processor().identification = fake::MakeIdentification("GenuineIntel", 0xBFEBFBFF);
    PutFirmwareText(0xEC71, "12/45/7.901.3 firmware");
  }

  static std::string SavedJson() { return RenderExplainJson(ExplainThisMachine()); }
  static SavedReport Save(const std::string& name) { return ParseSavedReport(SavedJson(), name); }

  // Compares the report saved before `change` with one saved after it.
  static Comparison CompareAcross(
      const std::function<void()>& change, const std::function<void()>& setUp = [] {}) {
    setUp();
    const SavedReport before = Save("before.json");
    change();
    return CompareReports(before, Save("after.json"));
  }

  static std::vector<std::string> Changed(const Comparison& comparison) {
    std::vector<std::string> changed;
    for (const IdentifierComparison& identifier : comparison.identifiers) {
      if (!identifier.same()) changed.push_back(identifier.name);
    }
    return changed;
  }
};

// --- What moved ---------------------------------------------------------------------

struct ChangeCase {
  const char* name;
  std::function<void()> change;  // what happens to the machine between the readings
  const char* input;             // the change that says so
  const char* code;
  std::vector<std::string> changed;      // the identifiers that change; empty: none does
  const char* words;                     // in the text for people
  std::function<void()> before = [] {};  // what the machine is like at the first reading
};

class InputChangeTest : public CompareTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(InputChangeTest, IsDetectedAttributedAndWorded) {
  const ChangeCase& scenario = GetParam();
  const Comparison comparison = CompareAcross(scenario.change, scenario.before);
  const std::string text = RenderComparisonText(comparison);
  SCOPED_TRACE(text);

  ASSERT_TRUE(comparison.inconsistencies.empty());
  EXPECT_THAT(Changed(comparison), ElementsAreArray(scenario.changed));
  EXPECT_EQ(comparison.AllSame(), scenario.changed.empty());
  const InputChange* found = nullptr;
  for (const InputChange& change : comparison.changes) {
    if (std::string(change.input) == scenario.input) found = &change;
  }
  ASSERT_NE(found, nullptr) << "no change of " << scenario.input;
  EXPECT_STREQ(found->change, scenario.code);
  EXPECT_THAT(text, HasSubstr(scenario.words));
  // Every identifier that changed is put down to an input, and only those.
  for (const IdentifierComparison& identifier : comparison.identifiers) {
    EXPECT_EQ(identifier.movedBy.empty(), identifier.same()) << identifier.name;
  }
  const Json json = Json::parse(RenderComparisonJson(comparison));
  EXPECT_EQ(json["all_same"], scenario.changed.empty());
}

void InsertAdapterFirst(std::string_view description, std::initializer_list<std::uint8_t> address) {
  auto& adapters = fake::Adapters().adapters;
  adapters.insert(adapters.begin(), fake::MakeAdapter(description, address));
}

// A USB adapter plugged in between the readings: listed first, or after the others.
void PlugInUsbAdapterFirst() {
  InsertAdapterFirst("Realtek USB GbE", {0x00, 0xE0, 0x4C, 0x68, 0x01, 0x02});
}
void PlugInUsbAdapterLast() {
  Machine::AddAdapter("Realtek USB GbE", {0x00, 0xE0, 0x4C, 0x68, 0x01, 0x02});
}

void SetStoredValue(const std::string& value) {
  fake::Profiles().files[Machine::kStorePath]["nodmark"]["rand"] = value;
}

// A draw at another time than the first reading's gives another value.
void LaterClock() { fake::Clock().tickCounts = {777}; }

const std::vector<std::string> kAll = {"nodmark_old", "nodmark_new", "nodmark_complicate"};
const std::vector<std::string> kDigest = {"nodmark_complicate"};
const std::vector<std::string> kCurrent = {"nodmark_new"};

const ChangeCase kChangeCases[] = {
    {"AdapterRemoved", [] { fake::Adapters().adapters.pop_back(); }, "adapter", "gone", kAll,
     "001A2B3C4D5E \"Intel(R) PRO/1000\" is gone from the listing: the card was removed or "
     "replaced, or its address changed\n"
     "    in place of an adapter address the key is now the serial of volume c:\\ (1A2B3C4D)"},
    {"AddressRandomised",
     [] { fake::Adapters().adapters[1].address = {0x06, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}; }, "adapter",
     "address_changed", kAll, "the same description and another address"},
    {"ChosenAdapterMovesUp",
     [] { fake::Adapters().adapters.erase(fake::Adapters().adapters.begin()); },
     "adapter",
     "moved",
     {},
     "is the same, now adapter 1 (was 2)"},
    {"BoundToAVirtualSwitch",
     [] {
       auto& adapters = fake::Adapters().adapters;
       adapters[1] = fake::MakeAdapter("Hyper-V Virtual Switch Extension Adapter",
                                       {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
     },
     "adapter", "skipped", kAll, "is skipped: its description contains \"Virtual\""},
    {"PushedPastTheEleventhPlace",
     [] {
       for (int i = 0; i < 10; ++i) InsertAdapterFirst("WAN Miniport (PPP)", {0x00, 0x00, 0x01});
     },
     "adapter", "past_exam_limit", kAll,
     "now adapter 12, past the eleventh place, and only the first 11"},
    {"ListingRefused",
     [] {
       for (int i = 0; i < 11; ++i)
         Machine::AddAdapter("USB tether", {0x00, 0x22, 0x33, 0x44, 0x55, 0x66});
     },
     "adapter", "listing_refused", kAll, "the adapter listing itself gave nothing"},
    {"NewAdapterRankedAhead", PlugInUsbAdapterFirst, "adapter", "ranked_ahead", kAll,
     "ranks ahead of it and is chosen"},
    {"SkippedByAFilterEntry",
     [] {
       filter::FilterListStore::ReleaseInstance();
       Machine::UseFilterList({"001A2BNNNNNN"});
     },
     "adapter", "skipped", (std::vector<std::string>{"nodmark_new", "nodmark_complicate"}),
     "matches entry 1 of the filter list"},
    {"AdapterAddedAfterTheChosenOne",
     PlugInUsbAdapterLast,
     "adapter_listing",
     "changed",
     {},
     "added: adapter 3, 00E04C680102 \"Realtek USB GbE\""},
    {"VolumeReformatted", [] { fake::Volumes().serialOfC = 0x55667788; }, "volume_serial",
     "changed", kDigest, "serial 1A2B3C4D before, 55667788 now"},
    {"VolumeGone", [] { fake::Volumes().serialOfC.reset(); }, "volume_serial", "disappeared",
     kDigest, "the volume query failed"},
    {"VolumeKeysWithoutAdapter", [] { fake::Volumes().serialOfC = 0x55667788; }, "volume_serial",
     "changed", kAll, "volume c:\\ was formatted or replaced",
     [] { fake::Adapters().adapters.pop_back(); }},
    {"ProcessorReplaced",
     [] {
       fake::Processor().identification = fake::MakeIdentification("AuthenticAMD", 0x178BFBFF);
     },
     "processor", "changed", kDigest, "\"AuthenticAMD_178bfbff\" now"},
    {"FirmwareUnmapped", [] { fake::Firmware().window.reset(); }, "firmware", "disappeared",
     kDigest, "none (the firmware memory could not be mapped"},
    {"FirmwareFoundByAnotherProbe",
     [] { Machine::PutFirmwareText(0x7196, "12/45/7.901.3 firmware"); },
     "firmware",
     "probe_changed",
     {},
     "found by the dot form, second place probe now"},
    {"StoreFileDeleted",
     [] {
       fake::ResetProfiles();
       LaterClock();
     },
     "random_id", "redrawn", kCurrent, "the store held no value, so a new one was drawn"},
    {"StoredValueResetTo000",
     [] {
       SetStoredValue("000");
       LaterClock();
     },
     "random_id", "redrawn", kCurrent, "or the value was set to \"000\""},
    {"StoreWriteRefused",
     [] {
       fake::ResetProfiles();
       fake::Profiles().refuseWrites = true;
     },
     "random_id", "write_refused", kCurrent, "every run draws again until one may write it"},
    {"StoredValueEmptied", [] { SetStoredValue(""); }, "random_id", "emptied", kCurrent,
     "the store file's value was emptied"},
    {"StoredValueCopiedIn", [] { SetStoredValue("Q7Q"); }, "random_id", "changed", kCurrent,
     "\"Q7Q\" now: the store file holds another value"},
};

INSTANTIATE_TEST_SUITE_P(Changes, InputChangeTest, ::testing::ValuesIn(kChangeCases), CaseName());

TEST_F(CompareTest, ReportComparedWithItselfShowsNoChangeAndWhatItRestsOn) {
  const std::string saved = SavedJson();
  const Comparison comparison =
      CompareReports(ParseSavedReport(saved, "a.json"), ParseSavedReport(saved, "b.json"));
  EXPECT_TRUE(comparison.AllSame());
  EXPECT_TRUE(comparison.changes.empty());
  const std::string text = RenderComparisonText(comparison);
  EXPECT_THAT(text, HasSubstr("All three identifiers are the same"));
  EXPECT_THAT(text, HasSubstr("nothing: every input is as it was"));
  // Were these two machines, the adapter address is what they share: a cloned machine.
  ASSERT_FALSE(comparison.shared.empty());
  EXPECT_STREQ(comparison.shared[0].input, "adapter");
  EXPECT_EQ(comparison.shared[0].value, "001A2B3C4D5E");
  EXPECT_EQ(comparison.shared[0].identifiers.size(), 3u);
  EXPECT_THAT(text, HasSubstr("a copied virtual machine"));
  EXPECT_EQ(Json::parse(RenderComparisonJson(comparison))["contains"],
            Json::array({"identifiers", "adapter_addresses", "volume_serial", "processor_signature",
                         "firmware_text", "random_id", "report_names"}));
}

// "contains" names what the comparison's output holds, not what the reports hold.
TEST_F(CompareTest, ContainsWhatTheOutputHolds) {
  const struct {
    std::function<void()> before;
    std::function<void()> change;
    Json contains;
  } cases[] = {
      // The adapter's lines quote addresses and descriptions, no filter entry or serial.
      {[] {},
       [] { fake::Adapters().adapters[1].address = {0x06, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}; },
       {"identifiers", "adapter_addresses", "adapter_descriptions", "report_names"}},
      // The serial that stands in for the adapter gone is quoted.
      {[] {},
       [] { fake::Adapters().adapters.pop_back(); },
       {"identifiers", "adapter_addresses", "adapter_descriptions", "volume_serial",
        "report_names"}},
      // The value lost is named, the store file, the same in both, is not.
      {[] {},
       [] {
         fake::ResetProfiles();
         fake::Profiles().refuseWrites = true;
       },
       {"identifiers", "adapter_addresses", "volume_serial", "processor_signature", "firmware_text",
        "random_id", "report_names"}},
      // "ZZZ" shared by both readings is no stored value of the machine.
      {[] { fake::Profiles().refuseWrites = true; },
       [] { fake::Volumes().serialOfC = 0x55667788; },
       {"identifiers", "adapter_addresses", "volume_serial", "report_names"}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SetUp();
    const Comparison comparison = CompareAcross(cases[i].change, cases[i].before);
    EXPECT_EQ(Json::parse(RenderComparisonJson(comparison))["contains"], cases[i].contains)
        << "case " << i << "\n"
        << RenderComparisonText(comparison);
  }
}

TEST_F(CompareTest, SettingsTagOfAnotherVersionIsNamed) {
  const SavedReport before = Save("before.json");
  SavedReport after = before;
  after.settingsTag = "5";
  after.nodmarkNew.back() = '5';
  const Comparison comparison = CompareReports(before, after);
  EXPECT_THAT(Changed(comparison), ElementsAreArray(kCurrent));
  EXPECT_THAT(RenderComparisonText(comparison),
              HasSubstr("settings tag \"4\" before, \"5\" now: another version"));
}

TEST_F(CompareTest, AReadAfterWaitingCountsAsAKeptValue) {
  SavedReport before = Save("before.json");
  SavedReport after = before;
  after.storeOutcome = "value_read_after_wait";
  EXPECT_TRUE(CompareReports(before, after).changes.empty());
  after.storeValue = "Q7Q";
  after.nodmarkNew.replace(12, 3, "Q7Q");
  const std::string text = RenderComparisonText(CompareReports(before, after));
  EXPECT_THAT(text, HasSubstr("the store file holds another value"));
  EXPECT_THAT(text, Not(HasSubstr("does not know")));
}

TEST_F(CompareTest, StoreFileNamedSystem32ByAnEarlier32BitToolIsNotAnotherFile) {
  SavedReport before = Save("before.json");
  before.storePath = "C:\\Windows\\system32\\pub_store.dat";
  SavedReport after = before;
  after.storeValue = "Q7Q";
  after.nodmarkNew.replace(12, 3, "Q7Q");
  after.storePath = "C:\\Windows\\SysWOW64\\pub_store.dat";
  EXPECT_THAT(RenderComparisonText(CompareReports(before, after)),
              Not(HasSubstr("the store file is another one")));
  after.storePath = "D:\\Windows\\SysWOW64\\pub_store.dat";
  const Comparison comparison = CompareReports(before, after);
  EXPECT_THAT(RenderComparisonText(comparison), HasSubstr("the store file is another one"));
  EXPECT_THAT(Json::parse(RenderComparisonJson(comparison))["contains"],
              ::testing::Contains("store_file_path"));
}

// --- Reports read back ----------------------------------------------------------------

TEST_F(CompareTest, DescriptionBytesAboveSevenBitsComeBackWhole) {
  const std::string description = "R\xe9seau \xff\x80 \"A\\B\"";
  fake::Adapters().adapters[1] =
      fake::MakeAdapter(description, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const std::string saved = SavedJson();
  EXPECT_NE(saved.find("R\\u00e9seau \\u00ff\\u0080"), std::string::npos);
  const SavedReport report = ParseSavedReport(saved, "before.json");
  EXPECT_EQ(report.adapters[1].description, description);

  fake::Adapters().adapters.pop_back();
  const std::string text = RenderComparisonText(CompareReports(report, Save("after.json")));
  EXPECT_THAT(text, HasSubstr("\"R\\xE9seau \\xFF\\x80 \"A\\B\"\" is gone"));
}

TEST_F(CompareTest, OlderLayoutAndUnknownMembersReadAlike) {
  AddAdapter("Intel(R) Wi-Fi 6 AX201", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55}).wireless = true;
  Json saved = Json::parse(SavedJson());
  Json older = saved;
  older.erase("warnings");
  older.erase("contains");
  for (Json& adapter : older["adapters"]["list"]) {
    adapter.erase("wireless");
    adapter.erase("removable_bus");
  }
  older["firmware"].erase("probe");
  older["store"].erase("outcome");
  Json later = saved;
  later["nodmark_future"] = {{"anything", Json::array({1, 2})}};
  later["adapters"]["list"][0]["bus"] = "pci";

  const SavedReport olderReport = ParseSavedReport(DumpJson(older), "older.json");
  EXPECT_FALSE(olderReport.adapters[2].wireless);
  const SavedReport laterReport = ParseSavedReport(DumpJson(later), "later.json");
  EXPECT_TRUE(laterReport.adapters[2].wireless);
  const Comparison comparison = CompareReports(olderReport, laterReport);
  EXPECT_TRUE(comparison.AllSame());
  EXPECT_TRUE(comparison.inconsistencies.empty());
  EXPECT_TRUE(comparison.changes.empty()) << "a member left out is not an input that moved";
}

TEST_F(CompareTest, HandEditedReportIsCalledSoAndExplainsNothing) {
  Json saved = Json::parse(SavedJson());
  saved["nodmark_old"] = "00112233445500000";
  const SavedReport edited = ParseSavedReport(DumpJson(saved), "edited.json");
  fake::Volumes().serialOfC = 0x55667788;
  const Comparison comparison = CompareReports(edited, Save("after.json"));

  ASSERT_EQ(comparison.inconsistencies.size(), 1u);
  EXPECT_EQ(comparison.inconsistencies[0].report, "edited.json");
  EXPECT_STREQ(comparison.inconsistencies[0].identifier, "nodmark_old");
  EXPECT_TRUE(comparison.changes.empty()) << "the serial's change is not explained";
  const std::string text = RenderComparisonText(comparison);
  EXPECT_THAT(text, HasSubstr("\"edited.json\" does not hold together: its nodmark_old"));
  EXPECT_THAT(text, Not(HasSubstr("What moved")));
  EXPECT_EQ(Json::parse(RenderComparisonJson(comparison))["contains"],
            Json::array({"identifiers", "report_names"}));
}

// --- Reports that cannot be read --------------------------------------------------------

struct BadReport {
  const char* name;
  std::function<std::string(std::string)> spoil;  // the saved JSON made into a bad file
  const char* reason;
};

class BadReportTest : public CompareTest, public ::testing::WithParamInterface<BadReport> {};

TEST_P(BadReportTest, IsRefusedWithOneLineNamingTheFile) {
  const std::string json = GetParam().spoil(SavedJson());
  try {
    ParseSavedReport(json, "report.json");
    FAIL() << "read: " << json.substr(0, 200);
  } catch (const UnreadableReport& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("report.json: ", 0), 0u) << message;
    EXPECT_THAT(message, HasSubstr(GetParam().reason));
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
}

std::string WithMember(const std::string& json, const char* pointer, const Json& value) {
  Json parsed = Json::parse(json);
  parsed[Json::json_pointer(pointer)] = value;
  return DumpJson(parsed);
}

const BadReport kBadReports[] = {
    {"NotJson", [](std::string) { return std::string("nodmark_old 001A2B3C4D5E0000\n"); },
     "not JSON: parse error at line 1"},
    {"Truncated", [](std::string json) { return json.substr(0, json.size() / 2); },
     "truncated: the JSON ends after"},
    {"Empty", [](std::string) { return std::string(); }, "the file is empty"},
    {"NumberNoDoubleHolds", [](std::string) { return std::string("26E75696"); },
     "not JSON: number overflow"},
    {"AnArray", [](std::string json) { return "[" + json + "]"; },
     "not a nodmark report: the JSON is an array, not an object"},
    {"DeeplyNested", [](std::string) { return std::string(100000, '['); }, "nests deeper than"},
    {"SerialANumber", [](std::string json) { return WithMember(json, "/volume/serial", 5); },
     "member \"volume.serial\" is a number, not a string or null"},
    {"ListAnObject",
     [](std::string json) { return WithMember(json, "/adapters/list", Json::object()); },
     "member \"adapters.list\" is an object, not an array"},
    {"AddressNotHex",
     [](std::string json) { return WithMember(json, "/adapters/list/1/address", "00-1A-2B"); },
     "member \"adapters.list[1].address\" is \"00-1A-2B\", not 12 hex digits"},
    {"IdentifierMissing",
     [](std::string json) {
       Json parsed = Json::parse(json);
       parsed.erase("nodmark_new");
       return DumpJson(parsed);
     },
     "member \"nodmark_new\" is missing"},
    {"CharacterNoByteGives",
     [](std::string json) { return WithMember(json, "/store/value", "\xe2\x82\xac"); },
     "member \"store.value\" holds a character above U+00FF"},
};

INSTANTIATE_TEST_SUITE_P(Inputs, BadReportTest, ::testing::ValuesIn(kBadReports), CaseName());

TEST(ReportFile, HugeFileIsRefusedAfterReadingNoMoreThanTheCap) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "nodmark-huge-report.json";
  std::ofstream(path).put('{');
  std::filesystem::resize_file(path, std::uintmax_t{1} << 30);  // sparse where it can be
  try {
    ReadReportFile(path.string());
    ADD_FAILURE() << "a 1 GiB file was read";
  } catch (const UnreadableReport& error) {
    EXPECT_THAT(error.what(), HasSubstr("larger than 1024 KiB, which no report is"));
  }
  std::filesystem::remove(path);

  // A file without end: a read that did not stop at the cap would never return.
  if (std::filesystem::exists("/dev/zero")) {
    EXPECT_THROW(ReadReportFile("/dev/zero"), UnreadableReport);
  }
  try {
    ReadReportFile(path.string());
    ADD_FAILURE() << "a missing file was read";
  } catch (const UnreadableReport& error) {
    EXPECT_THAT(error.what(), HasSubstr("nodmark-huge-report.json: cannot open"));
  }
}

}  // namespace
}  // namespace nodmark::tools

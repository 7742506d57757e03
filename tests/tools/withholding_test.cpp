#include "tools/explaining/withholding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hex_text.h"
#include "fake/fake_processor.h"
#include "fake/fake_profile.h"
#include "fake/fake_volume.h"
#include "tools/comparing/comparison_json.h"
#include "tools/comparing/comparison_text.h"
#include "tools/comparing/report_comparison.h"
#include "tools/reports/explain_json.h"
#include "tools/reports/json_text.h"
#include "tools/reports/saved_report.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kProcessor[] = "GenuineIntel_bfebfbff";
constexpr char kFirmware[] = "12/45/7.901.3 firmware";

std::string Hex(std::string_view text) {
  std::string hex;
  core::AppendHexBytes(hex, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return hex;
}

// The report without its identifiers, as JSON text; a value is sought in it as the
// dump writes it (Dumped).
std::string BesideTheIdentifiers(const std::string& report) {
  Json json = Json::parse(report);
  for (const char* name : {"nodmark_old", "nodmark_new", "nodmark_complicate"}) json.erase(name);
  return json.dump();
}

std::string Dumped(const std::string& value) {
  const std::string dumped = Json(value).dump();
  return dumped.substr(1, dumped.size() - 2);
}

struct WithheldKind {
  Content kind;
  const char* code;
  std::vector<std::string> values;  // as the report holds them, hashed text included
  const char* showsThrough;         // the identifiers said to give it still, or ""
};

// A laptop with one value of every kind: a filter list entry, a stored value and a
// firmware text; the chosen wireless adapter, which a warning names, keys nodmark_old
// and nodmark_new.
class WithholdingTest : public ScriptedMachineTest,
                        public ::testing::WithParamInterface<WithheldKind> {
 protected:
  void SetUp() override {
    ScriptedMachineTest::SetUp();
    AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
    AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}).wireless = true;
    UseFilterList({"AABBCCNNNNNN"});
    fake::Volumes().serialOfC = 0x55667788;
    fake::Processor().identification = fake::MakeIdentification("GenuineIntel", 0xBFEBFBFF);
    PutFirmwareText(0xEC71, kFirmware);
    fake::Profiles().files[kStorePath]["nodmark"]["rand"] = "Q7Q";
  }
};

TEST_P(WithholdingTest, KindIsGoneFromTheWholeReportAndComparesAsWithheld) {
  const WithheldKind& kind = GetParam();
  const ExplainReport report = ExplainThisMachine();
  const std::string full = RenderExplainJson(report);
  const std::string withheld = RenderExplainJson(report, ContentsOf({kind.kind}));
  for (const std::string& value : kind.values) {
    EXPECT_THAT(BesideTheIdentifiers(full), HasSubstr(Dumped(value)));
    EXPECT_THAT(BesideTheIdentifiers(withheld), Not(HasSubstr(Dumped(value))));
  }
  const Json json = Json::parse(withheld);
  EXPECT_THAT(json["contains"], Not(::testing::Contains(kind.code)));
  EXPECT_EQ(json["withheld"], Json::array({kind.code}));

  std::string notes;
  for (const std::string& note : ShowThroughNotes(report, ContentsOf({kind.kind}))) notes += note;
  EXPECT_EQ(notes.empty(), *kind.showsThrough == '\0') << notes;
  EXPECT_THAT(notes, HasSubstr(kind.showsThrough));

  // Compared with the full report: nothing moved, nothing edited, nothing of it shown.
  const Comparison comparison = CompareReports(ParseSavedReport(withheld, "withheld.json"),
                                               ParseSavedReport(full, "full.json"));
  EXPECT_TRUE(comparison.AllSame());
  EXPECT_TRUE(comparison.inconsistencies.empty());
  EXPECT_TRUE(comparison.changes.empty());
  EXPECT_THAT(
      RenderComparisonText(comparison),
      HasSubstr(kind.kind == Content::kStoreFilePath ? "every input is as it was"
                                                     : "among the inputs both reports hold"));
  const Json compared = Json::parse(RenderComparisonJson(comparison));
  EXPECT_THAT(compared["contains"], Not(::testing::Contains(kind.code)));
  // The store file's path is no input: it is only quoted when the stored value moved.
  const Json& uncompared = compared["not_compared"];
  ASSERT_EQ(uncompared.size(), kind.kind == Content::kStoreFilePath ? 0u : 1u);
  for (const Json& input : uncompared) EXPECT_EQ(input["reports"], Json::array({"withheld.json"}));
}

const WithheldKind kKinds[] = {
    {Content::kAdapterAddresses,
     "adapter_addresses",
     {"001A2B3C4D5E", "00155D010203"},
     "nodmark_old, nodmark_new still give"},
    {Content::kAdapterDescriptions,
     "adapter_descriptions",
     {"Hyper-V Virtual Ethernet Adapter", "Intel(R) PRO/1000"},
     ""},
    {Content::kFilterEntries, "filter_entries", {"AABBCCNNNNNN"}, ""},
    {Content::kVolumeSerial, "volume_serial", {"55667788", "887766550000"}, ""},
    {Content::kProcessorSignature, "processor_signature", {kProcessor, Hex(kProcessor)}, ""},
    {Content::kFirmwareText, "firmware_text", {kFirmware, Hex(kFirmware)}, ""},
    {Content::kRandomId, "random_id", {"Q7Q"}, "nodmark_new still gives"},
    {Content::kStoreFilePath, "store_file_path", {ScriptedMachineTest::kStorePath}, ""},
};

std::string CodeOf(const ::testing::TestParamInfo<WithheldKind>& kind) { return kind.param.code; }

INSTANTIATE_TEST_SUITE_P(Kinds, WithholdingTest, ::testing::ValuesIn(kKinds), CodeOf);

TEST_F(WithholdingTest, ReportsWithheldOtherwiseCompareWhatBothHold) {
  const SavedReport before = ParseSavedReport(
      RenderExplainJson(ExplainThisMachine(), ContentsOf({Content::kVolumeSerial})), "before.json");
  fake::Processor().identification = fake::MakeIdentification("AuthenticAMD", 0x178BFBFF);
  const SavedReport after = ParseSavedReport(
      RenderExplainJson(ExplainThisMachine(), ContentsOf({Content::kFirmwareText})), "after.json");
  const Comparison comparison = CompareReports(before, after);

  EXPECT_TRUE(comparison.inconsistencies.empty());
  ASSERT_EQ(comparison.changes.size(), 1u);
  EXPECT_STREQ(comparison.changes[0].input, "processor");
  const std::string text = RenderComparisonText(comparison);
  EXPECT_THAT(text, HasSubstr("Volume c:\\ serial: volume_serial withheld from \"before.json\""));
  EXPECT_THAT(text, HasSubstr("Firmware text: firmware_text withheld from \"after.json\""));
  EXPECT_THAT(text, Not(HasSubstr("does not hold together")));
}

TEST(WithheldKinds, UnknownOrUnwithholdableKindIsNamedWithTheKindsThereAre) {
  EXPECT_EQ(ParseWithheldKinds({"random_id", "firmware_text"}).kinds,
            ContentsOf({Content::kRandomId, Content::kFirmwareText}));
  EXPECT_THAT(ParseWithheldKinds({"random_id", "serial"}).problem,
              HasSubstr("no kind of data is called 'serial'; the kinds a report can be written "
                        "without are adapter_addresses, adapter_descriptions,"));
  EXPECT_THAT(ParseWithheldKinds({"identifiers"}).problem,
              HasSubstr("'identifiers' cannot be withheld"));
}

}  // namespace
}  // namespace nodmark::tools

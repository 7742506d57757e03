#include "tools/explaining/identifier_warnings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake/fake_profile.h"
#include "fake/fake_volume.h"
#include "tools/explaining/explain_text.h"
#include "tools/reports/explain_json.h"
#include "tools/reports/json_text.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

struct WarningCase {
  const char* name;
  std::function<void()> script;  // what makes the machine at risk
  const char* code;
  std::vector<std::string> identifiers;
  std::optional<std::size_t> adapter;  // the index of the adapter the warning names
};

std::string Codes(const std::vector<IdentifierWarning>& warnings) {
  std::string codes;
  for (const IdentifierWarning& warning : warnings) codes += std::string(warning.code) + " ";
  return codes;
}

class IdentifierWarningsTest : public ScriptedMachineTest,
                               public ::testing::WithParamInterface<WarningCase> {
 protected:
  // A machine whose identifiers rest on nothing at risk: a wired adapter with the
  // address its maker gave it, a volume serial, a firmware text and a store it may write.
  void SetUp() override {
    ScriptedMachineTest::SetUp();
    AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    fake::Volumes().serialOfC = 0x1A2B3C4D;
    PutFirmwareText(0xEC71, "12/31/99");
  }
};

TEST_F(IdentifierWarningsTest, NoneWhereNothingIsAtRisk) {
  const ExplainReport report = ExplainThisMachine();
  EXPECT_TRUE(FindWarnings(report).empty());
  EXPECT_THAT(RenderExplainText(report), HasSubstr("Warnings\n  none:"));
  EXPECT_TRUE(Json::parse(RenderExplainJson(report))["warnings"].empty());
}

TEST_P(IdentifierWarningsTest, EachCauseWarnsAndNamesTheIdentifiersItAffects) {
  const WarningCase& scenario = GetParam();
  scenario.script();
  const ExplainReport report = ExplainThisMachine();
  ExpectIdentifierSetAgrees(report);  // warnings change nothing the identifiers come from

  const std::vector<IdentifierWarning> warnings = FindWarnings(report);
  ASSERT_EQ(warnings.size(), 1u) << Codes(warnings);
  EXPECT_STREQ(warnings[0].code, scenario.code);
  EXPECT_THAT(
      std::vector<std::string>(warnings[0].identifiers.begin(), warnings[0].identifiers.end()),
      ElementsAreArray(scenario.identifiers));
  EXPECT_EQ(warnings[0].adapter, scenario.adapter);

  const Json json = Json::parse(RenderExplainJson(report))["warnings"];
  ASSERT_EQ(json.size(), 1u);
  EXPECT_EQ(json[0]["code"], scenario.code);
  EXPECT_EQ(json[0]["identifiers"], Json(scenario.identifiers));
  EXPECT_EQ(json[0]["reason"], warnings[0].reason);
  EXPECT_THAT(RenderExplainText(report), HasSubstr(": " + warnings[0].reason + "\n"));
}

void ReplaceAdapter(std::initializer_list<std::uint8_t> address) {
  fake::Adapters().adapters.clear();
  ScriptedMachineTest::AddAdapter("Intel(R) Wi-Fi 6 AX201", address);
}

void UseLocallyAdministeredAddress() { ReplaceAdapter({0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}); }

const WarningCase kWarningCases[] = {
    {"LocallyAdministeredAddress",
     UseLocallyAdministeredAddress,
     "locally_administered_address",
     {"nodmark_old", "nodmark_new", "nodmark_complicate"},
     0},
    {"WirelessAdapter",
     [] { fake::Adapters().adapters[0].wireless = true; },
     "wireless_adapter",
     {"nodmark_old", "nodmark_new", "nodmark_complicate"},
     0},
    {"AdapterOnRemovableBus",
     [] { fake::Adapters().adapters[0].removableBus = true; },
     "removable_bus_adapter",
     {"nodmark_old", "nodmark_new", "nodmark_complicate"},
     0},
    {"FilterListPartsTheWalks",
     [] {
       ScriptedMachineTest::AddAdapter("Docking station", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
       ScriptedMachineTest::UseFilterList({"001A2BNNNNNN"});
     },
     "locally_administered_address",
     {"nodmark_new", "nodmark_complicate"},
     1},
    {"StoreWriteRefused",
     [] { fake::Profiles().refuseWrites = true; },
     "random_id_write_refused",
     {"nodmark_new"},
     std::nullopt},
    {"StoredValueEmpty",
     [] { fake::Profiles().files[ScriptedMachineTest::kStorePath]["nodmark"]["rand"] = ""; },
     "random_id_empty",
     {"nodmark_new"},
     std::nullopt},
    {"NoSystemDirectory",
     [] { fake::SystemDirectory().directory.reset(); },
     "random_id_no_store",
     {"nodmark_new"},
     std::nullopt},
    {"NoAdapterAndNoVolume",
     [] {
       fake::Adapters().adapters.clear();
       fake::Volumes().serialOfC.reset();
     },
     "shared_fallback",
     {"nodmark_old", "nodmark_new", "nodmark_complicate"},
     std::nullopt},
    {"NoFirmwareText",
     [] { fake::Firmware().window.reset(); },
     "no_firmware_text",
     {"nodmark_complicate"},
     std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Causes, IdentifierWarningsTest, ::testing::ValuesIn(kWarningCases),
                         CaseName());

}  // namespace
}  // namespace nodmark::tools

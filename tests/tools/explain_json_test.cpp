#include "tools/reports/explain_json.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_machine_lock.h"
#include "fake/fake_volume.h"
#include "tools/reports/json_text.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

// The bytes a JsonText was made of: each code point below 0x100 back as one byte.
// Fails the test on a code point that no byte gives.
std::string BytesOf(const Json& text) {
  std::string bytes;
  const std::string utf8 = text.get<std::string>();
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      bytes += static_cast<char>(lead);
    } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
      bytes += static_cast<char>(((lead & 0x03) << 6) | (utf8[++i] & 0x3F));
    } else {
      ADD_FAILURE() << "code point above U+00FF at offset " << i;
    }
  }
  return bytes;
}

// --- Texts as JSON ------------------------------------------------------------------

TEST(JsonText, EveryByteComesBackFromPlainAscii) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string dumped = DumpJson(Json{{"text", JsonText(all)}});
  for (std::size_t i = 0; i < dumped.size(); ++i) {
    ASSERT_LT(static_cast<unsigned char>(dumped[i]), 0x80) << "offset " << i << ": " << dumped;
  }
  EXPECT_EQ(BytesOf(Json::parse(dumped)["text"]), all);
  EXPECT_NE(DumpJson(JsonText("caf\xe9")).find("\\u00e9"), std::string::npos);
}

// --- The report as JSON ---------------------------------------------------------------

class ExplainJsonTest : public ScriptedMachineTest {
 protected:
  // The report's JSON, parsed; fails the test when it is not JSON.
  static Json ParsedJson(const ExplainReport& report) {
    const std::string text = RenderExplainJson(report);
    Json parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    EXPECT_FALSE(parsed.is_discarded()) << text;
    return parsed;
  }
};

TEST_F(ExplainJsonTest, IdentifiersAreTheReportsAndAnIdentifierSets) {
  AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  fake::Volumes().serialOfC = 0x1A2B3C4D;
  const ExplainReport report = ExplainThisMachine();
  Json json = ParsedJson(report);

  EXPECT_EQ(json["nodmark_old"], report.nodmarkOld);
  EXPECT_EQ(json["nodmark_new"], report.nodmarkNew);
  EXPECT_EQ(json["nodmark_complicate"], report.nodmarkComplicate);
  ExpectIdentifierSetAgrees(report);

  EXPECT_EQ(json["keys"]["nodmark_old"], "adapter");
  Json& adapters = json["adapters"];
  EXPECT_EQ(adapters["listed"], true);
  EXPECT_EQ(adapters["chosen"], 2);
  EXPECT_EQ(adapters["chosen_with_filter_list"], 2);
  ASSERT_EQ(adapters["list"].size(), 2u);
  Json& skipped = adapters["list"][0];
  EXPECT_EQ(skipped["position"], 1);
  EXPECT_EQ(skipped["address"], "00155D010203");
  EXPECT_EQ(skipped["verdict"]["outcome"], "skipped_description");
  EXPECT_EQ(skipped["verdict"]["word"], "Virtual");
  EXPECT_EQ(adapters["list"][1]["verdict"]["outcome"], "chosen");

  EXPECT_EQ(json["volume"]["serial"], "1A2B3C4D");
  EXPECT_EQ(json["volume"]["source_bytes"], "4D3C2B1A0000");
  EXPECT_EQ(json["store"]["outcome"], "value_written");
  EXPECT_EQ(json["store"]["lock"], "taken");
  EXPECT_EQ(json["store"]["path"], kStorePath);
  EXPECT_EQ(json["digest"]["hex_data"], report.digestHexData);
  EXPECT_EQ(json["contains"],
            Json::array({"identifiers", "adapter_addresses", "adapter_descriptions",
                         "volume_serial", "random_id", "store_file_path"}));
}

TEST_F(ExplainJsonTest, MissingInputsAreNullAndAnUnwritableStoreSaysSo) {
  fake::Profiles().refuseWrites = true;
  Json json = ParsedJson(ExplainThisMachine());

  EXPECT_EQ(json["adapters"]["listed"], false);
  EXPECT_EQ(json["adapters"]["chosen"], nullptr);
  EXPECT_TRUE(json["adapters"]["list"].empty());
  EXPECT_EQ(json["volume"]["serial"], nullptr);
  EXPECT_EQ(json["processor"]["available"], false);
  EXPECT_EQ(json["firmware"]["mapped"], false);
  EXPECT_EQ(json["firmware"]["probe"], nullptr);
  EXPECT_EQ(json["store"]["value"], "ZZZ");
  EXPECT_EQ(json["store"]["outcome"], "write_failed");
  EXPECT_EQ(json["keys"]["nodmark_new"], "fallback");
  EXPECT_EQ(json["contains"], Json::array({"identifiers", "store_file_path"})) << "ZZZ is no one's";
}

TEST_F(ExplainJsonTest, StoreTellsAValueReadAfterWaitingAndHowTheLockWent) {
  fake::MachineLocks().state = platform::MachineLockState::kTimedOut;
  fake::MachineLocks().whileWaiting = [] {
    fake::Profiles().files[kStorePath]["nodmark"]["rand"] = "K7Q";
  };
  Json json = ParsedJson(ExplainThisMachine());
  EXPECT_EQ(json["store"]["outcome"], "value_read_after_wait");
  EXPECT_EQ(json["store"]["lock"], "timed_out");

  json = ParsedJson(ExplainThisMachine());
  EXPECT_EQ(json["store"]["outcome"], "value_read");
  EXPECT_EQ(json["store"]["lock"], "not_needed");
}

TEST_F(ExplainJsonTest, FilterEntryAndTableRowVerdictsCarryTheirIndex) {
  UseFilterList({"00NNNNNNNNNN"});
  AddAdapter("Loopback", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const ExplainReport report = ExplainThisMachine();
  Json json = ParsedJson(report);

  Json& list = json["adapters"]["list"];
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["verdict"]["outcome"], "skipped_address_table");
  EXPECT_EQ(list[0]["verdict"]["table_row"], 1);
  EXPECT_EQ(list[0]["verdict_with_filter_list"]["outcome"], "chosen");
  EXPECT_EQ(list[1]["verdict_with_filter_list"]["outcome"], "not_reached");
  EXPECT_EQ(list[1]["verdict"]["outcome"], "chosen");
  ASSERT_EQ(json["adapters"]["filter_entries"].size(), 1u);
  EXPECT_EQ(json["adapters"]["filter_entries"][0], "00NNNNNNNNNN");
  EXPECT_EQ(json["contains"][3], "filter_entries");
  ExpectIdentifierSetAgrees(report);
}

TEST_F(ExplainJsonTest, DescriptionBytesSurviveEscaping) {
  const std::string description = "Adapter \"A\\B\"\tcaf\xe9 \x01";
  AddAdapter(description, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  Json json = ParsedJson(ExplainThisMachine());
  EXPECT_EQ(BytesOf(json["adapters"]["list"][0]["description"]), description);
}

TEST_F(ExplainJsonTest, FoundFirmwareTextNamesItsProbe) {
  PutFirmwareText(0x7196, "ABCDEFG.IJK.rest");
  Json json = ParsedJson(ExplainThisMachine());
  EXPECT_EQ(json["firmware"]["mapped"], true);
  EXPECT_EQ(json["firmware"]["probe"], "dot form, second place");
  EXPECT_EQ(json["firmware"]["physical_address"], "0xF7196");
  EXPECT_EQ(json["firmware"]["text"], "ABCDEFG.IJK.rest");
}

}  // namespace
}  // namespace nodmark::tools

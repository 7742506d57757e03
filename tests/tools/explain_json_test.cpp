#include "tools/explain_json.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_volume.h"
#include "tools/json_reader.h"
#include "tools/json_text.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

using testing::JsonValue;
using testing::ParseJson;

// --- The escaper and the writer ----------------------------------------------------

TEST(QuoteJsonString, EscapesQuotesBackslashesControlsAndHighBytes) {
  struct Case {
    std::string text;
    std::string quoted;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"GerneralNodmark 1.0", "\"GerneralNodmark 1.0\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\WINDOWS", "\"C:\\\\WINDOWS\""},
      {"a/b", "\"a/b\""},
      {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
      {std::string("\0\x01\x1f", 3), "\"\\u0000\\u0001\\u001F\""},
      {"\x7f", "\"\\u007F\""},
      {"caf\xe9", "\"caf\\u00E9\""},
      {"\x80\xff", "\"\\u0080\\u00FF\""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(QuoteJsonString(cases[i].text), cases[i].quoted) << "case " << i;
  }
}

TEST(QuoteJsonString, EveryByteRoundTripsThroughAParser) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string quoted = QuoteJsonString(all);
  for (const char c : quoted) {
    EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "the output is plain ASCII";
  }
  std::string error;
  const auto parsed = ParseJson(quoted, &error);
  ASSERT_TRUE(parsed.has_value()) << error;
  EXPECT_EQ(parsed->string, all);
}

TEST(JsonWriter, NestsWithCommasAndIndentation) {
  JsonWriter json;
  json.BeginObject();
  json.Key("name");
  json.String("x");
  json.Key("list");
  json.BeginArray();
  json.Number(1);
  json.Number(-2);
  json.EndArray();
  json.Key("empty");
  json.BeginArray();
  json.EndArray();
  json.Key("none");
  json.BeginObject();
  json.EndObject();
  json.Key("flags");
  json.BeginObject();
  json.Key("on");
  json.Bool(true);
  json.Key("off");
  json.Bool(false);
  json.Key("unset");
  json.Null();
  json.EndObject();
  json.EndObject();
  EXPECT_EQ(json.text(),
            "{\n"
            "  \"name\": \"x\",\n"
            "  \"list\": [\n"
            "    1,\n"
            "    -2\n"
            "  ],\n"
            "  \"empty\": [],\n"
            "  \"none\": {},\n"
            "  \"flags\": {\n"
            "    \"on\": true,\n"
            "    \"off\": false,\n"
            "    \"unset\": null\n"
            "  }\n"
            "}\n");
}

TEST(JsonReader, RejectsWhatIsNotJson) {
  const char* const texts[] = {
      "",
      "{",
      "{\"a\":1,}",
      "[1,]",
      "{\"a\" 1}",
      "\"a\nb\"",
      "\"\\x41\"",
      "[1] [2]",
      "{\"a\":1,\"a\":2}",
      "01",
      "tru",
      "{a:1}",
      "\"\\u00G0\"",
  };
  for (const char* text : texts) {
    std::string error;
    EXPECT_FALSE(ParseJson(text, &error).has_value()) << "accepted: " << text;
  }
}

// --- The report as JSON ---------------------------------------------------------------

class ExplainJsonTest : public ScriptedMachineTest {
 protected:
  // The report's JSON, parsed; fails the test when it is not JSON.
  static JsonValue ParsedJson(const ExplainReport& report) {
    std::string error;
    std::optional<JsonValue> parsed = ParseJson(RenderExplainJson(report), &error);
    EXPECT_TRUE(parsed.has_value()) << error << "\n" << RenderExplainJson(report);
    return parsed.value_or(JsonValue{});
  }
};

TEST_F(ExplainJsonTest, IdentifiersAreTheReportsAndAnIdentifierSets) {
  AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  fake::Volumes().serialOfC = 0x1A2B3C4D;
  const ExplainReport report = ExplainThisMachine();
  const JsonValue json = ParsedJson(report);

  EXPECT_EQ(json["nodmark_old"].string, report.nodmarkOld);
  EXPECT_EQ(json["nodmark_new"].string, report.nodmarkNew);
  EXPECT_EQ(json["nodmark_complicate"].string, report.nodmarkComplicate);
  ExpectIdentifierSetAgrees(report);

  EXPECT_EQ(json["keys"]["nodmark_old"].string, "adapter");
  const JsonValue& adapters = json["adapters"];
  EXPECT_TRUE(adapters["listed"].boolean);
  EXPECT_EQ(adapters["chosen"].number, 2);
  EXPECT_EQ(adapters["chosen_with_filter_list"].number, 2);
  ASSERT_EQ(adapters["list"].array.size(), 2u);
  const JsonValue& skipped = adapters["list"].array[0];
  EXPECT_EQ(skipped["position"].number, 1);
  EXPECT_EQ(skipped["address"].string, "00155D010203");
  EXPECT_EQ(skipped["verdict"]["outcome"].string, "skipped_description");
  EXPECT_EQ(skipped["verdict"]["word"].string, "Virtual");
  EXPECT_EQ(adapters["list"].array[1]["verdict"]["outcome"].string, "chosen");

  EXPECT_EQ(json["volume"]["serial"].string, "1A2B3C4D");
  EXPECT_EQ(json["volume"]["source_bytes"].string, "4D3C2B1A0000");
  EXPECT_EQ(json["store"]["outcome"].string, "value_written");
  EXPECT_EQ(json["store"]["path"].string, kStorePath);
  EXPECT_EQ(json["digest"]["hex_data"].string, report.digestHexData);
}

TEST_F(ExplainJsonTest, MissingInputsAreNullAndAnUnwritableStoreSaysSo) {
  fake::Profiles().refuseWrites = true;
  const JsonValue json = ParsedJson(ExplainThisMachine());

  EXPECT_FALSE(json["adapters"]["listed"].boolean);
  EXPECT_EQ(json["adapters"]["chosen"].kind, JsonValue::Kind::kNull);
  EXPECT_TRUE(json["adapters"]["list"].array.empty());
  EXPECT_EQ(json["volume"]["serial"].kind, JsonValue::Kind::kNull);
  EXPECT_FALSE(json["processor"]["available"].boolean);
  EXPECT_FALSE(json["firmware"]["mapped"].boolean);
  EXPECT_EQ(json["firmware"]["probe"].kind, JsonValue::Kind::kNull);
  EXPECT_EQ(json["store"]["value"].string, "ZZZ");
  EXPECT_EQ(json["store"]["outcome"].string, "write_failed");
  EXPECT_EQ(json["keys"]["nodmark_new"].string, "fallback");
}

TEST_F(ExplainJsonTest, FilterEntryAndTableRowVerdictsCarryTheirIndex) {
  UseFilterList({"00NNNNNNNNNN"});
  AddAdapter("Loopback", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const ExplainReport report = ExplainThisMachine();
  const JsonValue json = ParsedJson(report);

  const JsonValue& list = json["adapters"]["list"];
  ASSERT_EQ(list.array.size(), 2u);
  EXPECT_EQ(list.array[0]["verdict"]["outcome"].string, "skipped_address_table");
  EXPECT_EQ(list.array[0]["verdict"]["table_row"].number, 1);
  EXPECT_EQ(list.array[0]["verdict_with_filter_list"]["outcome"].string, "chosen");
  EXPECT_EQ(list.array[1]["verdict_with_filter_list"]["outcome"].string, "not_reached");
  EXPECT_EQ(list.array[1]["verdict"]["outcome"].string, "chosen");
  ASSERT_EQ(json["adapters"]["filter_entries"].array.size(), 1u);
  EXPECT_EQ(json["adapters"]["filter_entries"].array[0].string, "00NNNNNNNNNN");
  ExpectIdentifierSetAgrees(report);
}

TEST_F(ExplainJsonTest, DescriptionBytesSurviveEscaping) {
  const std::string description = "Adapter \"A\\B\"\tcaf\xe9 \x01";
  AddAdapter(description, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const JsonValue json = ParsedJson(ExplainThisMachine());
  EXPECT_EQ(json["adapters"]["list"].array[0]["description"].string, description);
}

TEST_F(ExplainJsonTest, FoundFirmwareTextNamesItsProbe) {
  PutFirmwareText(0x7196, "ABCDEFG.IJK.rest");
  const JsonValue json = ParsedJson(ExplainThisMachine());
  EXPECT_TRUE(json["firmware"]["mapped"].boolean);
  EXPECT_EQ(json["firmware"]["probe"].string, "dot form, second place");
  EXPECT_EQ(json["firmware"]["physical_address"].string, "0xF7196");
  EXPECT_EQ(json["firmware"]["text"].string, "ABCDEFG.IJK.rest");
}

}  // namespace
}  // namespace nodmark::tools

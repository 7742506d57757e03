#include "tools/explaining/explain_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "fake/fake_clock.h"
#include "fake/fake_machine_lock.h"
#include "fake/fake_processor.h"
#include "fake/fake_profile.h"
#include "fake/fake_system_directory.h"
#include "fake/fake_volume.h"
#include "identifiers/digest_text.h"
#include "tools/explaining/explain_text.h"
#include "tools/scripted_machine.h"

namespace nodmark::tools {
namespace {

using Outcome = sources::AdapterVerdict::Outcome;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::uint32_t kSerial = 0x1A2B3C4D;

class ExplainReportTest : public ScriptedMachineTest {
 protected:
  // Explains the machine, checks the identifiers against an IdentifierSet's, and
  // keeps the text rendering for the test to read.
  ExplainReport Explain() {
    ExplainReport report = ExplainThisMachine();
    text = RenderExplainText(report);
    ExpectIdentifierSetAgrees(report);
    return report;
  }

  std::string text;
};

TEST_F(ExplainReportTest, SkippedVirtualAdapterIsNamedWithItsWordAndTheNextIsChosen) {
  AddAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03});
  AddAdapter("Intel(R) PRO/1000 MT Network Connection", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  AddAdapter("Realtek PCIe GbE Family Controller", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
  const ExplainReport report = Explain();

  const sources::AdapterVerdicts& walk = report.adapters.withoutFilterList;
  ASSERT_EQ(walk.count, 3u);
  EXPECT_EQ(walk.verdicts[0].outcome, Outcome::kSkippedForDescription);
  EXPECT_EQ(walk.verdicts[0].descriptionWord, "Virtual");
  EXPECT_EQ(walk.verdicts[1].outcome, Outcome::kChosen);
  EXPECT_EQ(walk.verdicts[2].outcome, Outcome::kNotReached);
  EXPECT_EQ(report.oldKey, identifiers::MachineKey::kAdapter);
  EXPECT_EQ(report.nodmarkOld, "001A2B3C4D5E0000");

  EXPECT_THAT(text, HasSubstr("1. 00155D010203 \"Hyper-V Virtual Ethernet Adapter\"\n"
                              "     skipped: its description contains \"Virtual\"\n"));
  EXPECT_THAT(text, HasSubstr("2. 001A2B3C4D5E \"Intel(R) PRO/1000 MT Network Connection\"\n"
                              "     chosen\n"));
  EXPECT_THAT(text, HasSubstr("not examined: an earlier adapter was chosen"));
  EXPECT_THAT(text, HasSubstr("the address of adapter 2, then 0000"));
  EXPECT_THAT(text, HasSubstr("filter list: no entries"));
}

TEST_F(ExplainReportTest, AddressTableRowIsNamed) {
  AddAdapter("Loopback", {0x44, 0x45, 0x53, 0x54, 0x00, 0x01});
  AddAdapter("Broken driver", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  const ExplainReport report = Explain();

  EXPECT_EQ(report.adapters.withoutFilterList.verdicts[0].exclusion.index, 1u);
  EXPECT_EQ(report.adapters.withoutFilterList.verdicts[1].exclusion.index, 3u);
  EXPECT_THAT(text, HasSubstr("skipped: its address matches row 1 of the built-in address table"));
  EXPECT_THAT(text, HasSubstr("skipped: its address matches row 3 of the built-in address table"));
}

TEST_F(ExplainReportTest, FilterEntryIsNamedAndOnlyTheFilteredRecipesFollowIt) {
  UseFilterList({"00NNNNNNNNNN"});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  AddAdapter("Realtek PCIe GbE", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55});
  const ExplainReport report = Explain();

  ASSERT_EQ(report.adapters.filterEntries, sources::FilterEntries{"00NNNNNNNNNN"});
  EXPECT_EQ(report.adapters.withoutFilterList.chosen, 0u);
  EXPECT_EQ(report.adapters.withFilterList.chosen, 1u);
  EXPECT_EQ(report.nodmarkOld, "001A2B3C4D5E0000");
  EXPECT_EQ(report.nodmarkNew.substr(0, 12), "021122334455");
  EXPECT_EQ(report.digestParts.adapter, "021122334455");
  EXPECT_THAT(text, HasSubstr("     nodmark_old: chosen\n"
                              "     nodmark_new and nodmark_complicate: skipped: its address "
                              "matches entry 1 of the filter list, \"00NNNNNNNNNN\"\n"));
}

TEST_F(ExplainReportTest, AdaptersPastTheEleventhAreNotExaminedAndTheSerialStandsIn) {
  for (int i = 0; i < 11; ++i) AddAdapter("PPP adapter", {0x00, 0x01, 0x02, 0x03, 0x04, 0x05});
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  fake::Volumes().serialOfC = kSerial;
  const ExplainReport report = Explain();

  EXPECT_EQ(report.adapters.withoutFilterList.verdicts[11].outcome, Outcome::kPastExamLimit);
  EXPECT_EQ(report.oldKey, identifiers::MachineKey::kVolume);
  EXPECT_EQ(report.nodmarkOld, "4D3C2B1A00000001");
  EXPECT_THAT(text, HasSubstr("12. 001A2B3C4D5E \"Intel(R) PRO/1000\"\n"
                              "     not examined: only the first 11 adapters are\n"));
  EXPECT_THAT(text, HasSubstr("no adapter qualifies: the serial of volume c:\\, then 00000001"));
}

TEST_F(ExplainReportTest, SerialFallbackWhenThereIsNoListing) {
  fake::Volumes().serialOfC = kSerial;
  const ExplainReport report = Explain();

  EXPECT_FALSE(report.adapters.listing.has_value());
  EXPECT_EQ(report.newKey, identifiers::MachineKey::kVolume);
  EXPECT_EQ(report.nodmarkOld, "4D3C2B1A00000001");
  EXPECT_EQ(report.nodmarkNew.substr(0, 12), "4D3C2B1A0000");
  EXPECT_THAT(text, HasSubstr("no listing: the call failed, there are no adapters"));
  EXPECT_THAT(text, HasSubstr("serial 1A2B3C4D, source bytes 4D3C2B1A0000"));
}

TEST_F(ExplainReportTest, NeitherAdapterNorSerialGivesTheFallbackAndSaysWhy) {
  const ExplainReport report = Explain();

  EXPECT_EQ(report.oldKey, identifiers::MachineKey::kNeither);
  EXPECT_EQ(report.nodmarkOld, "FFFFFFFFFFFFFFFF");
  EXPECT_THAT(text, HasSubstr("no serial: the volume query failed"));
  EXPECT_THAT(text, HasSubstr("neither an adapter nor the serial of volume c:\\: eight FF bytes"));
  EXPECT_THAT(text, HasSubstr("no signature: processor identification is not available"));
  EXPECT_THAT(text, StartsWith("This report gives whoever receives it this machine's three "
                               "identifiers, stored random identifier and store file path.\n\n"));
}

TEST_F(ExplainReportTest, FoundFirmwareTextNamesItsProbe) {
  fake::Volumes().serialOfC = kSerial;
  PutFirmwareText(0xF478, "12-3456-890 firmware");
  const ExplainReport report = Explain();

  ASSERT_TRUE(report.firmware.match.has_value());
  EXPECT_EQ(report.firmware.match->probe, 1u);
  EXPECT_EQ(report.firmwareSignature,
            ByteString(report.firmware.match->text.begin(), report.firmware.match->text.end()));
  EXPECT_THAT(text, HasSubstr("\"12-3456-890 firmware\", found by the dash form probe at 0xFF478"));
  EXPECT_EQ(fake::Firmware().maps, fake::Firmware().releases) << "every window let go";
}

TEST_F(ExplainReportTest, FirmwareTellsAnUnmappableWindowFromOneWithoutText) {
  Explain();
  EXPECT_THAT(text, HasSubstr("no text: the firmware memory could not be mapped"));

  fake::Firmware().window = ByteString(platform::kFirmwareWindowSize, 0x00);
  const ExplainReport report = Explain();
  EXPECT_TRUE(report.firmware.mapped);
  EXPECT_THAT(text, HasSubstr("no text: the memory was mapped but no probe matched"));
}

TEST_F(ExplainReportTest, UnwritableStoreGivesZzzAndSaysTheWriteFailed) {
  fake::Profiles().refuseWrites = true;
  const ExplainReport report = ExplainThisMachine();
  text = RenderExplainText(report);

  EXPECT_EQ(report.store.value, "ZZZ");
  EXPECT_EQ(report.store.outcome, sources::StoreOutcome::kWriteFailed);
  EXPECT_EQ(fake::Profiles().writes, 1) << "one attempt, as one construction makes";
  EXPECT_EQ(report.nodmarkNew, "FFFFFFFFFFFFFFFFZZZ4");
  EXPECT_THAT(text, HasSubstr("value \"ZZZ\": drawn but the store file could not be written"));
  EXPECT_THAT(text, HasSubstr("file \"C:\\WINDOWS\\system32\\pub_store.dat\""));
  ExpectIdentifierSetAgrees(report);
}

TEST_F(ExplainReportTest, OneRunDrawsAndWritesOnlyWhatOneConstructionDoes) {
  const ExplainReport report = ExplainThisMachine();
  EXPECT_EQ(report.store.outcome, sources::StoreOutcome::kValueWritten);
  EXPECT_EQ(fake::Profiles().reads, 2) << "the first read, and the second under the lock";
  EXPECT_EQ(fake::Profiles().writes, 1);
  EXPECT_EQ(fake::Clock().tickReads, 1u) << "one draw";
  EXPECT_EQ(fake::Clock().calendarReads, 1u);
  EXPECT_EQ(fake::Profiles().Value(kStorePath, "nodmark", "rand"), report.store.value);

  // A construction afterwards reads the value back and agrees, writing nothing more.
  ExpectIdentifierSetAgrees(report);
  EXPECT_EQ(fake::Profiles().writes, 1);
  EXPECT_EQ(fake::Clock().tickReads, 1u);
}

TEST_F(ExplainReportTest, StoredValueIsReportedAsRead) {
  fake::Profiles().files[kStorePath]["nodmark"]["rand"] = "K7Q";
  const ExplainReport report = Explain();
  EXPECT_EQ(report.store.outcome, sources::StoreOutcome::kValueRead);
  EXPECT_EQ(fake::Profiles().writes, 0);
  EXPECT_THAT(text, HasSubstr("value \"K7Q\": read from the store file"));
  EXPECT_THAT(text, HasSubstr("then the random identifier \"K7Q\" and the settings tag \"4\""));
}

TEST_F(ExplainReportTest, ValueAnotherProcessStoredWhileThisOneWaitedIsNamedAsSuch) {
  fake::MachineLocks().whileWaiting = [] {
    fake::Profiles().files[kStorePath]["nodmark"]["rand"] = "K7Q";
  };
  const ExplainReport report = Explain();
  EXPECT_EQ(report.store.outcome, sources::StoreOutcome::kValueReadAfterWait);
  EXPECT_THAT(text, HasSubstr("value \"K7Q\": read after waiting for another process's draw\n"
                              "  machine-wide lock taken\n"));
}

TEST_F(ExplainReportTest, NoSystemDirectoryLeavesNoFile) {
  fake::SystemDirectory().directory.reset();
  const ExplainReport report = Explain();
  EXPECT_TRUE(report.store.filePath.empty());
  EXPECT_THAT(text, HasSubstr("file (none)\n  value \"ZZZ\": no system directory"));
}

TEST_F(ExplainReportTest, StoreFileIsNamedWhereItLies) {
  fake::SystemDirectory().location = "C:\\WINDOWS\\SysWOW64";
  const ExplainReport report = Explain();
  EXPECT_EQ(report.store.filePath, "C:\\WINDOWS\\SysWOW64\\pub_store.dat");
  EXPECT_EQ(fake::Profiles().lastWritePath, kStorePath);
  EXPECT_THAT(text, HasSubstr("file \"C:\\WINDOWS\\SysWOW64\\pub_store.dat\"\n"));
}

TEST_F(ExplainReportTest, DigestInputIsTheHexOfTheFourPartsBetweenTheMarkers) {
  AddAdapter("Intel(R) PRO/1000", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
  fake::Volumes().serialOfC = kSerial;
  fake::Processor().identification = fake::MakeIdentification("GenuineIntel", 0xBFEBFBFF);
  PutFirmwareText(0xEC71, "12/31/99");
  const ExplainReport report = Explain();

  const identifiers::DigestParts& parts = report.digestParts;
  EXPECT_EQ(parts.adapter, "001A2B3C4D5E");
  EXPECT_EQ(parts.volume, "4D3C2B1A0000");
  EXPECT_EQ(parts.processor, "47656E75696E65496E74656C5F6266656266626666");
  EXPECT_EQ(parts.firmware, "31322F33312F3939");
  EXPECT_EQ(report.digestHexData, parts.adapter + parts.volume + parts.processor + parts.firmware);
  EXPECT_EQ(report.nodmarkComplicate, identifiers::DigestIdentifierText(report.digestHexData));
  EXPECT_THAT(text, HasSubstr("\n  VELTRA_GENERAL_NODMARK_START" + report.digestHexData +
                              "VELTRA_GENERAL_NODMARK_END\n"));
  EXPECT_THAT(text, HasSubstr("signature \"GenuineIntel_bfebfbff\""));
  EXPECT_THAT(text, StartsWith("This report gives whoever receives it this machine's three "
                               "identifiers, network adapter hardware addresses, adapter "
                               "descriptions, volume c:\\ serial, processor signature, firmware "
                               "text, stored random identifier and store file path.\n"));
}

TEST_F(ExplainReportTest, QuoteTextEscapesWhatCouldGarbleATerminal) {
  EXPECT_EQ(QuoteText("plain"), "\"plain\"");
  EXPECT_EQ(QuoteText("C:\\WINDOWS \"x\""), "\"C:\\WINDOWS \"x\"\"");
  EXPECT_EQ(QuoteText(std::string("\t\x1b\x7f\xe9\0", 5)), "\"\\x09\\x1B\\x7F\\xE9\\x00\"");
}

}  // namespace
}  // namespace nodmark::tools

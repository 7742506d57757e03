#include "identifiers/identifier_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake/fake_sources.h"
#include "identifiers/digest_text.h"

namespace nodmark::identifiers {
namespace {

// Known answers computed independently with Python's hashlib.md5 over the marker-
// framed texts named beside each constant.
// Markers alone: "VELTRA_GENERAL_NODMARK_START" "VELTRA_GENERAL_NODMARK_END".
constexpr char kDigestOfMarkersAlone[] = "4C6F0714EA7787341A2F64C05A1F1863";
// Markers around the 66 hex characters of adapter 001A2B3C4D5E, serial 0x1A2B3C4D
// and processor GenuineIntel_bfebfbff.
constexpr char kDigestOfFullExample[] = "4C622E76A79B052C4012ED4B9789059F";
constexpr char kHexDataOfFullExample[] =
    "001A2B3C4D5E4D3C2B1A000047656E75696E65496E74656C5F6266656266626666";

const ByteString kAdapter = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
const ByteString kSerial1A2B3C4D = {0x4D, 0x3C, 0x2B, 0x1A, 0x00, 0x00};

ByteString Bytes(const std::string& text) { return ByteString(text.begin(), text.end()); }

class IdentifierSetTest : public ::testing::Test {
 protected:
  void SetUp() override { script = &fake::ResetSources(); }
  std::ptrdiff_t VolumeCalls() const {
    const std::vector<std::string> log = script->CallLog();
    return std::count(log.begin(), log.end(), "volume");
  }
  fake::SourceScript* script = nullptr;
};

TEST_F(IdentifierSetTest, AdapterGivesAddressFormsInBothIdentifiers) {
  script->adapterFilterOff = kAdapter;
  script->adapterFilterOn = kAdapter;
  script->storedRandomId = "K7Q";
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "001A2B3C4D5E0000");
  EXPECT_EQ(set.GetNewIdentifier(), "001A2B3C4D5EK7Q4");
  EXPECT_EQ(VolumeCalls(), 1) << "only the digest recipe reads the serial";
}

TEST_F(IdentifierSetTest, SerialStandsInForAMissingAdapter) {
  script->volumeSerial = kSerial1A2B3C4D;
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "4D3C2B1A00000001");
  EXPECT_EQ(set.GetNewIdentifier(), "4D3C2B1A0000ABC4");
  EXPECT_EQ(VolumeCalls(), 3);
}

TEST_F(IdentifierSetTest, SerialZeroStillEndsInOne) {
  script->volumeSerial = ByteString(6, 0x00);
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "0000000000000001");
  EXPECT_EQ(set.GetNewIdentifier(), "000000000000ABC4");
}

TEST_F(IdentifierSetTest, NeitherAdapterNorSerialGivesSixteenF) {
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(set.GetNewIdentifier(), "FFFFFFFFFFFFFFFFABC4");
  EXPECT_EQ(set.GetNewIdentifier().size(), 20u);
}

TEST_F(IdentifierSetTest, JunkLeftByAFailedSourceNeverReachesAnIdentifier) {
  script->junkOnFailure = {0x12, 0x34, 0x56};
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(set.GetComplicateIdentifier(), kDigestOfMarkersAlone);
}

TEST_F(IdentifierSetTest, LongStoredRandomIdLengthensOnlyTheCurrentIdentifier) {
  script->adapterFilterOff = kAdapter;
  script->adapterFilterOn = kAdapter;
  script->storedRandomId = "HELLO WORLD";
  const IdentifierSet longer;
  fake::SourceScript& again = fake::ResetSources();
  again.adapterFilterOff = kAdapter;
  again.adapterFilterOn = kAdapter;
  const IdentifierSet shorter;

  EXPECT_EQ(longer.GetNewIdentifier(), "001A2B3C4D5EHELLO WORLD4");
  EXPECT_EQ(longer.GetOldIdentifier(), shorter.GetOldIdentifier());
  EXPECT_EQ(longer.GetComplicateIdentifier(), shorter.GetComplicateIdentifier());
}

TEST_F(IdentifierSetTest, AllDigestSourcesEmptyGivesDigestOfMarkers) {
  const IdentifierSet set;
  EXPECT_EQ(set.GetComplicateIdentifier(), kDigestOfMarkersAlone);
}

TEST_F(IdentifierSetTest, DigestCoversHexOfAdapterSerialAndProcessor) {
  script->adapterFilterOn = kAdapter;
  script->volumeSerial = kSerial1A2B3C4D;
  script->processorSignature = Bytes("GenuineIntel_bfebfbff");
  const IdentifierSet set;
  EXPECT_EQ(set.GetComplicateIdentifier(), kDigestOfFullExample);
  EXPECT_EQ(DigestIdentifierText(kHexDataOfFullExample), kDigestOfFullExample);
}

TEST_F(IdentifierSetTest, DigestUsesFilterOnAdapterAndAppendsNoTail) {
  // The digest-based recipe asks with the filter list on; a different answer with
  // it off must not leak in.
  script->adapterFilterOff = ByteString(6, 0x77);
  script->adapterFilterOn = kAdapter;
  script->volumeSerial = kSerial1A2B3C4D;
  script->processorSignature = Bytes("GenuineIntel_bfebfbff");
  const IdentifierSet set;
  EXPECT_EQ(set.GetComplicateIdentifier(), kDigestOfFullExample);
  EXPECT_EQ(set.GetOldIdentifier(), "7777777777770000");
}

TEST_F(IdentifierSetTest, FirmwareTextIsHexEncodedLast) {
  script->volumeSerial = kSerial1A2B3C4D;
  script->firmwareSignature = Bytes("12/31/99 BIOS");
  const IdentifierSet set;
  // hashlib.md5 over the markers around "4D3C2B1A0000" + hex of "12/31/99 BIOS".
  EXPECT_EQ(set.GetComplicateIdentifier(), "C9BEE518765D0008BE19AC0BC012877F");
}

TEST_F(IdentifierSetTest, SourcesAreAskedInRecipeOrder) {
  // No source answers, so every fallback is asked for too.
  const IdentifierSet set;
  const std::vector<std::string> legacyCurrentDigest = {
      "adapter_filter_off", "volume", "adapter_filter_on", "volume",  "random_id", "settings_tag",
      "adapter_filter_on",  "volume", "processor",         "firmware"};
  EXPECT_EQ(script->CallLog(), legacyCurrentDigest);
}

TEST_F(IdentifierSetTest, LowBytesKeepLeadingZeroAndLettersAreUpperCase) {
  script->adapterFilterOff = ByteString{0x05, 0x0A, 0xab, 0xcd, 0xef, 0x00};
  const IdentifierSet set;
  EXPECT_EQ(set.GetOldIdentifier(), "050AABCDEF000000");
  for (char c : set.GetComplicateIdentifier()) {
    EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << c;
  }
}

}  // namespace
}  // namespace nodmark::identifiers

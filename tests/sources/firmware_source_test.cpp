#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fake/fake_firmware.h"
#include "platform/firmware.h"
#include "sources/firmware_probe.h"
#include "sources/machine_sources.h"

namespace nodmark::sources {
namespace {

constexpr std::size_t kSlashPlace = 0xEC71;
constexpr std::size_t kDashPlace = 0xF478;
constexpr std::size_t kDotFirstPlace = 0x6577;
constexpr std::size_t kDotSecondPlace = 0x7196;
constexpr std::size_t kDotThirdPlace = 0x7550;
constexpr std::size_t kSlashProbe = 0;
constexpr std::size_t kDashProbe = 1;
constexpr std::size_t kDotFirstProbe = 2;
constexpr std::size_t kDotSecondProbe = 3;
constexpr std::size_t kDotThirdProbe = 4;

// A zero-filled firmware window with texts placed in it.
class Window {
 public:
  explicit Window(std::size_t size = platform::kFirmwareWindowSize) : bytes_(size, 0x00) {}

  Window& Put(std::size_t offset, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
      bytes_.at(offset + i) = static_cast<std::uint8_t>(text[i]);
    return *this;
  }

  std::optional<FirmwareMatch> Find() const {
    return FindFirmwareText(bytes_.data(), bytes_.size());
  }
  const ByteString& bytes() const { return bytes_; }

 private:
  ByteString bytes_;
};

TEST(FindFirmwareText, SlashFormWinsOverDashForm) {
  const auto match = Window().Put(kSlashPlace, "12/31/99").Put(kDashPlace, "AB-CDEF-GH").Find();
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(match->probe, kSlashProbe);
  EXPECT_EQ(match->text, "12/31/99");
}

TEST(FindFirmwareText, EachFormNeedsItsCharacterAtBothPositions) {
  EXPECT_FALSE(Window().Put(kSlashPlace, "12/31-99").Find().has_value());
  EXPECT_FALSE(Window().Put(kSlashPlace, "12-31/99").Find().has_value());
  EXPECT_FALSE(Window().Put(kDashPlace, "AB-CDEFGH").Find().has_value());
  EXPECT_FALSE(Window().Put(kDotFirstPlace, "ABCDEFG.IJKLM").Find().has_value());

  const auto dash = Window().Put(kDashPlace, "AB-CDEF-GH").Find();
  ASSERT_TRUE(dash.has_value());
  EXPECT_EQ(dash->probe, kDashProbe);
  EXPECT_EQ(dash->text, "AB-CDEF-GH");
}

TEST(FindFirmwareText, AByteOutsidePrintableAsciiRejectsTheProbeAndTheNextIsTried) {
  for (const char bad : {'\t', '\x7F', '\x80', '\x1F', '\xFF'}) {
    const auto match = Window()
                           .Put(kSlashPlace, std::string("12/31/99") + bad + "X")
                           .Put(kDashPlace, "AB-CDEF-GH")
                           .Find();
    ASSERT_TRUE(match.has_value()) << static_cast<int>(static_cast<unsigned char>(bad));
    EXPECT_EQ(match->probe, kDashProbe);
  }
}

TEST(FindFirmwareText, ZeroFirstByteRejects) {
  EXPECT_FALSE(Window()
                   .Put(kSlashPlace, std::string("\0"
                                                 "2/31/99",
                                                 8))
                   .Find()
                   .has_value());
}

TEST(FindFirmwareText, TestCharactersBeyondTheTextEndStillPass) {
  const auto match = Window().Put(kSlashPlace, std::string("12/\0\0/", 6)).Find();
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(match->probe, kSlashProbe);
  EXPECT_EQ(match->text, "12/");
}

TEST(FindFirmwareText, PrintableBytesWithoutZeroGiveExactly127Characters) {
  std::string text(200, 'A');  // runs on past the probe's 127 bytes
  text[2] = '/';
  text[5] = '/';
  const auto match = Window().Put(kSlashPlace, text).Find();
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(match->text, text.substr(0, 127));
}

TEST(FindFirmwareText, DotFormIsFoundAtEachOfItsThreePlaces) {
  const struct {
    std::size_t place;
    std::size_t probe;
  } cases[] = {{kDotFirstPlace, kDotFirstProbe},
               {kDotSecondPlace, kDotSecondProbe},
               {kDotThirdPlace, kDotThirdProbe}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto match = Window().Put(cases[i].place, "ABCDEFG.IJK.M").Find();
    ASSERT_TRUE(match.has_value()) << "case " << i;
    EXPECT_EQ(match->probe, cases[i].probe) << "case " << i;
    EXPECT_EQ(match->text, "ABCDEFG.IJK.M") << "case " << i;
  }
}

TEST(FindFirmwareText, NothingInAnEmptyOrNullOrShortWindow) {
  EXPECT_FALSE(Window().Find().has_value());
  EXPECT_FALSE(FindFirmwareText(nullptr, platform::kFirmwareWindowSize).has_value());
  EXPECT_FALSE(Window(0).Find().has_value());
  // A probe is read only when all 127 of its bytes lie in the window.
  EXPECT_FALSE(
      Window(kDotSecondPlace + 126).Put(kDotSecondPlace, "ABCDEFG.IJK.M").Find().has_value());
  EXPECT_TRUE(
      Window(kDotSecondPlace + 127).Put(kDotSecondPlace, "ABCDEFG.IJK.M").Find().has_value());
}

class FirmwareSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { firmware = &fake::ResetFirmware(); }
  fake::FirmwareScript* firmware = nullptr;
  ByteString output = {0xDE, 0xAD};  // junk the call must replace
};

TEST_F(FirmwareSourceTest, RefusedMapGivesTrueAndEmptyText) {
  EXPECT_TRUE(ReadFirmwareSignature(output));
  EXPECT_TRUE(output.empty());
  EXPECT_EQ(firmware->maps, 1);
}

TEST_F(FirmwareSourceTest, AcceptedTextIsTheOutputAndTheWindowIsReleased) {
  firmware->window = Window().Put(kSlashPlace, "12/31/99 BIOS").bytes();
  EXPECT_TRUE(ReadFirmwareSignature(output));
  EXPECT_EQ(std::string(output.begin(), output.end()), "12/31/99 BIOS");
  EXPECT_EQ(firmware->maps, 1);
  EXPECT_EQ(firmware->releases, 1);
}

TEST_F(FirmwareSourceTest, NoAcceptedProbeGivesTrueAndEmptyTextAndReleasesTheWindow) {
  firmware->window = Window().bytes();
  EXPECT_TRUE(ReadFirmwareSignature(output));
  EXPECT_TRUE(output.empty());
  EXPECT_EQ(firmware->releases, 1);
}

TEST_F(FirmwareSourceTest, WindowIsReleasedOnceWhicheverOwnerEndsUpWithIt) {
  firmware->window = Window().bytes();
  {
    platform::FirmwareWindow first = platform::MapFirmwareWindow();
    const std::uint8_t* data = first.data();
    platform::FirmwareWindow second = std::move(first);
    EXPECT_TRUE(first.empty());  // a moved-from window is empty, by contract
    EXPECT_EQ(first.data(), nullptr);
    EXPECT_EQ(second.data(), data);
    EXPECT_EQ(second.size(), platform::kFirmwareWindowSize);
    EXPECT_EQ(firmware->releases, 0);

    second = platform::MapFirmwareWindow();  // the first view goes, the new one stays
    EXPECT_EQ(firmware->releases, 1);
    EXPECT_FALSE(second.empty());
  }
  EXPECT_EQ(firmware->maps, 2);
  EXPECT_EQ(firmware->releases, 2);
}

}  // namespace
}  // namespace nodmark::sources

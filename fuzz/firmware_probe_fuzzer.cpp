// The firmware probes over arbitrary windows: the full 0xFFFF bytes with arbitrary text at
// and around each probe's place, and windows cut to any shorter size, each in a heap block
// of exactly its size so that a read past the window is caught. A full window also goes
// through the source (ReadFirmwareSignature) over the scripted firmware.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "core/byte_string.h"
#include "fake/fake_firmware.h"
#include "fuzz/fuzz_check.h"
#include "platform/firmware.h"
#include "sources/firmware_probe.h"
#include "sources/machine_sources.h"

namespace nodmark::fuzz {
namespace {

// How far before a probe's place its text may start, so texts can straddle the place.
constexpr std::size_t kMaxLead = 4;
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

void CheckMatch(const sources::FirmwareMatch& match, const std::uint8_t* window, std::size_t size) {
  Require(match.probe < sources::kFirmwareProbes.size(), "the match names a probe");
  const sources::FirmwareProbe& probe = sources::kFirmwareProbes[match.probe];
  Require(probe.offset + sources::kFirmwareTextMax <= size, "the probe's bytes lie in the window");
  const std::string& text = match.text;
  Require(!text.empty() && text.size() <= sources::kFirmwareTextMax, "1 to 127 characters");
  Require(std::all_of(text.begin(), text.end(),
                      [](char c) {
                        const auto byte = static_cast<std::uint8_t>(c);
                        return byte >= kFirstPrintable && byte <= kLastPrintable;
                      }),
          "the text is printable ASCII");
  const std::uint8_t* at = window + probe.offset;
  Require(
      std::equal(text.begin(), text.end(), at,
                 [](char c, std::uint8_t byte) { return static_cast<std::uint8_t>(c) == byte; }),
      "the text is the window's bytes at the probe's place");
  Require(text.size() == sources::kFirmwareTextMax || at[text.size()] == 0,
          "the text ends at a zero byte or at 127 characters");
  const auto test = static_cast<std::uint8_t>(probe.testCharacter);
  Require(at[probe.firstTestPosition] == test && at[probe.secondTestPosition] == test,
          "both test positions hold the probe's character");
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  FuzzedDataProvider provider(data, size);
  const bool fullWindow = provider.ConsumeBool();
  const std::size_t windowSize =
      fullWindow ? platform::kFirmwareWindowSize
                 : provider.ConsumeIntegralInRange<std::size_t>(0, platform::kFirmwareWindowSize);
  const std::uint8_t filler = provider.ConsumeIntegral<std::uint8_t>();

  ByteString bytes(platform::kFirmwareWindowSize, filler);
  for (const sources::FirmwareProbe& probe : sources::kFirmwareProbes) {
    const std::size_t lead = provider.ConsumeIntegralInRange<std::size_t>(0, fuzz::kMaxLead);
    const std::string text = provider.ConsumeRandomLengthString(sources::kFirmwareTextMax + 1);
    std::copy(text.begin(), text.end(), bytes.begin() + (probe.offset - lead));
  }

  // Exactly windowSize bytes of their own: any read past them is out of bounds.
  const std::unique_ptr<std::uint8_t[]> window(new std::uint8_t[windowSize]);
  std::copy_n(bytes.begin(), windowSize, window.get());
  const auto match = sources::FindFirmwareText(window.get(), windowSize);
  if (match) fuzz::CheckMatch(*match, window.get(), windowSize);
  fuzz::Require(!sources::FindFirmwareText(nullptr, windowSize), "no window, no text");

  if (fullWindow) {
    fake::ResetFirmware().window = bytes;
    ByteString output = {0xAA};  // junk the source must clear
    fuzz::Require(sources::ReadFirmwareSignature(output), "the firmware source answers true");
    fuzz::Require(
        match ? output == ByteString(match->text.begin(), match->text.end()) : output.empty(),
        "the source hands out the probes' text, or nothing");
    fuzz::Require(fake::Firmware().maps == 1 && fake::Firmware().releases == 1,
                  "the window is mapped once and released");
  }
  return 0;
}

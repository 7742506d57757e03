#ifndef NODMARK_SOURCES_FIRMWARE_PROBE_H_
#define NODMARK_SOURCES_FIRMWARE_PROBE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Where the firmware keeps its identification text in the window at physical
// address 0xF0000, and how to recognise it. Pure functions over bytes.
namespace nodmark::sources {

// One place to look: a text at `offset` in the window whose characters at the two
// test positions (counted from 0, within the first 127 bytes even past the text's
// end) are `testCharacter`.
struct FirmwareProbe {
  const char* name;
  std::size_t offset;
  std::size_t firstTestPosition;
  std::size_t secondTestPosition;
  char testCharacter;
};

// The longest text a probe accepts.
inline constexpr std::size_t kFirmwareTextMax = 127;

// In the order they are tried; the first accepted ends the search.
inline constexpr std::array<FirmwareProbe, 5> kFirmwareProbes = {{
    {"slash form", 0xEC71, 2, 5, '/'},
    {"dash form", 0xF478, 2, 7, '-'},
    {"dot form, first place", 0x6577, 7, 11, '.'},
    {"dot form, second place", 0x7196, 7, 11, '.'},
    {"dot form, third place", 0x7550, 7, 11, '.'},
}};

struct FirmwareMatch {
  std::size_t probe;  // index into kFirmwareProbes
  std::string text;   // 1 to 127 printable ASCII characters
};

// The text of the first probe that accepts the `size` bytes at `window`: the bytes
// at its offset up to the first zero byte (at most 127 of them), when there is at
// least one, both test positions hold the test character and every one of them is
// printable (0x20 to 0x7E). A probe whose 127 bytes do not all lie inside the window
// is rejected. Nullopt when no probe accepts.
std::optional<FirmwareMatch> FindFirmwareText(const std::uint8_t* window, std::size_t size);

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_FIRMWARE_PROBE_H_

#include "sources/firmware_probe.h"

#include <algorithm>

namespace nodmark::sources {
namespace {

constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

bool IsPrintable(std::uint8_t byte) { return byte >= kFirstPrintable && byte <= kLastPrintable; }

std::optional<std::string> Accept(const FirmwareProbe& probe, const std::uint8_t* window,
                                  std::size_t size) {
  if (size < kFirmwareTextMax || probe.offset > size - kFirmwareTextMax) return std::nullopt;
  const std::uint8_t* begin = window + probe.offset;
  const std::uint8_t* end = begin + kFirmwareTextMax;
  const std::uint8_t* textEnd = std::find(begin, end, std::uint8_t{0});
  if (textEnd == begin) return std::nullopt;
  const auto test = static_cast<std::uint8_t>(probe.testCharacter);
  if (begin[probe.firstTestPosition] != test || begin[probe.secondTestPosition] != test) {
    return std::nullopt;
  }
  if (!std::all_of(begin, textEnd, IsPrintable)) return std::nullopt;
  return std::string(begin, textEnd);
}

}  // namespace

std::optional<FirmwareMatch> FindFirmwareText(const std::uint8_t* window, std::size_t size) {
  if (window == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < kFirmwareProbes.size(); ++i) {
    if (auto text = Accept(kFirmwareProbes[i], window, size)) {
      return FirmwareMatch{i, std::move(*text)};
    }
  }
  return std::nullopt;
}

}  // namespace nodmark::sources

#ifndef NODMARK_PLATFORM_ADAPTERS_H_
#define NODMARK_PLATFORM_ADAPTERS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace nodmark::platform {

// Room for one adapter description as the OS hands it over: up to 131 characters and a
// zero byte, or all 132 bytes taken by text with no terminator.
inline constexpr std::size_t kAdapterDescriptionSize = 132;
// Every adapter contributes exactly this many address bytes, however long its real
// hardware address is.
inline constexpr std::size_t kAdapterAddressSize = 6;
// The most adapters one listing holds: the Windows listing goes into one fixed buffer
// with room for twelve records, and the other layers keep the same limit.
inline constexpr std::size_t kMaxAdapters = 12;

struct AdapterRecord {
  // The description bytes exactly as the OS gave them (zero-filled after a terminator).
  std::array<char, kAdapterDescriptionSize> description{};
  // The first six bytes of the hardware address; zero bytes pad a shorter address.
  std::array<std::uint8_t, kAdapterAddressSize> address{};
  // How the adapter is attached, where the OS tells; false where it does not. Only the
  // tool's warnings read them: the adapter source chooses by description and address.
  bool wireless = false;      // Windows: adapter type IEEE 802.11; Linux: a wireless interface
  bool removableBus = false;  // Linux: a USB device (the Windows listing does not tell)
};

// A fixed-capacity adapter listing in the OS's order: records[0] to records[count - 1].
struct AdapterList {
  std::array<AdapterRecord, kMaxAdapters> records{};
  std::size_t count = 0;
};

// The machine's network adapters, listed afresh on every call, in a stable order.
// nullopt when the listing fails, when there are no adapters, and when there are more
// than kMaxAdapters of them (the listing does not fit). Never a partial list.
// Allocates nothing on Windows; safe to call from any thread.
std::optional<AdapterList> ListNetworkAdapters();

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_ADAPTERS_H_

#ifndef NODMARK_PLATFORM_REGISTRY_H_
#define NODMARK_PLATFORM_REGISTRY_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nodmark::platform {

// The raw data bytes of the value `valueName` of the key `subkey` under
// HKEY_LOCAL_MACHINE, opened for reading, whatever the value's type. nullopt when the
// key or the value is missing or unreadable, and when the data is larger than
// `capacity` bytes (it is then never cut short). Nothing is added to the data: a
// string value comes with exactly the terminator it was stored with. Where the OS
// has no registry every value is missing. Safe to call from any thread.
std::optional<std::vector<std::uint8_t>> QueryLocalMachineValue(const char* subkey,
                                                                const char* valueName,
                                                                std::size_t capacity);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_REGISTRY_H_

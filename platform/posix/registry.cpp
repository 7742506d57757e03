#include "platform/registry.h"

namespace nodmark::platform {

// Linux has no registry, so no value exists: callers take their "missing" path (the
// filter list store then keeps an empty file path).
std::optional<std::vector<std::uint8_t>> QueryLocalMachineValue(const char* /*subkey*/,
                                                                const char* /*valueName*/,
                                                                std::size_t /*capacity*/) {
  return std::nullopt;
}

}  // namespace nodmark::platform

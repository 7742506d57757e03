#include "platform/registry.h"

#include <windows.h>

#include <limits>

#include "platform/win32/os_handles.h"

namespace nodmark::platform {

std::optional<std::vector<std::uint8_t>> QueryLocalMachineValue(const char* subkey,
                                                                const char* valueName,
                                                                std::size_t capacity) {
  if (capacity > std::numeric_limits<DWORD>::max()) return std::nullopt;

  UniqueRegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, /*options=*/0, KEY_READ, key.put()) !=
          ERROR_SUCCESS ||
      !key) {
    return std::nullopt;
  }

  // The type is not asked for: callers take the bytes as they are. A value larger than
  // the buffer answers ERROR_MORE_DATA and counts as missing, never as a cut-off value.
  std::vector<std::uint8_t> data(capacity, 0);
  DWORD size = static_cast<DWORD>(capacity);
  if (RegQueryValueExA(key.get(), valueName, /*reserved=*/nullptr, /*type=*/nullptr, data.data(),
                       &size) != ERROR_SUCCESS ||
      size > capacity) {
    return std::nullopt;
  }
  data.resize(size);
  return data;
}

}  // namespace nodmark::platform

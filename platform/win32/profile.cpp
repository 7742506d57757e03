#include "platform/profile.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace nodmark::platform {
namespace {

// The profile functions write a line break inside a name or value into the file as
// it stands, which would split the entry and corrupt the lines after it.
bool HoldsLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::string ReadProfileValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity,
                             const std::string& path) {
  if (capacity == 0) return {};
  const DWORD size =
      static_cast<DWORD>(std::min<std::size_t>(capacity, std::numeric_limits<DWORD>::max()));
  std::vector<char> buffer(size, '\0');
  const DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                               buffer.data(), size, path.c_str());
  return std::string(buffer.data(), std::min<DWORD>(count, size - 1));
}

bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value)) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

}  // namespace nodmark::platform

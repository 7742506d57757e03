#include "platform/system_directory.h"

#include <windows.h>

#include "platform/win32/architecture.h"
#include "platform/win32/store_directory.h"

namespace nodmark::platform {
namespace win32 {
namespace {

constexpr UINT kSystemDirectoryCapacity = MAX_PATH;

std::optional<std::string> QueryDirectory(DirectoryQuery query) {
  char buffer[kSystemDirectoryCapacity] = {};
  const UINT length = query(buffer, kSystemDirectoryCapacity);
  // A length at or above the capacity is the size the path would need: the buffer
  // was left unfilled, so there is no path to use.
  if (length == 0 || length >= kSystemDirectoryCapacity) return std::nullopt;
  return std::string(buffer, length);
}

}  // namespace

std::optional<std::string> StoreDirectory(DirectoryQuery wow64Query, DirectoryQuery systemQuery) {
  if (wow64Query != nullptr) {
    if (auto directory = QueryDirectory(wow64Query)) return directory;
  }
  return QueryDirectory(systemQuery);
}

}  // namespace win32

namespace {

constexpr char kPathSeparator = '\\';

}  // namespace

std::optional<std::string> QuerySystemDirectory() {
  // The 32-bit component names the system directory, in whose place 64-bit Windows
  // shows 32-bit processes the 32-bit one (SysWOW64). The 64-bit component must read
  // and write that same store file, or the two would draw two random identifiers on
  // one machine: it names the 32-bit system directory itself, and the system directory
  // only where there is none (32-bit Windows).
  return win32::StoreDirectory(win32::kIs64Bit ? GetSystemWow64DirectoryA : nullptr,
                               GetSystemDirectoryA);
}

std::string AppendPathComponent(const std::string& directory, std::string_view fileName) {
  std::string path = directory;
  path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace nodmark::platform

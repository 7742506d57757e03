#include "platform/system_directory.h"

#include <windows.h>

namespace nodmark::platform {
namespace {

constexpr UINT kSystemDirectoryCapacity = MAX_PATH;
constexpr char kPathSeparator = '\\';

}  // namespace

std::optional<std::string> QuerySystemDirectory() {
  char buffer[kSystemDirectoryCapacity] = {};
  const UINT length = GetSystemDirectoryA(buffer, kSystemDirectoryCapacity);
  // A length at or above the capacity is the size the path would need: the buffer
  // was left unfilled, so there is no path to use.
  if (length == 0 || length >= kSystemDirectoryCapacity) return std::nullopt;
  return std::string(buffer, length);
}

std::string AppendPathComponent(const std::string& directory, std::string_view fileName) {
  std::string path = directory;
  path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace nodmark::platform

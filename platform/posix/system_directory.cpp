#include "platform/system_directory.h"

#include <cstdlib>

namespace nodmark::platform {
namespace {

// Linux has no system directory. The store file is shared by every user and process
// of the machine, so it lives where Linux keeps machine-wide program state. The
// directory is created by the first successful write of the store file (which needs
// root). NODMARK_SYSTEM_DIR points the store elsewhere, for tests or for a machine
// whose administrator prefers another place.
constexpr char kMachineStateDirectory[] = "/var/lib/nodmark";
constexpr char kOverrideVariable[] = "NODMARK_SYSTEM_DIR";
constexpr char kPathSeparator = '/';

}  // namespace

std::optional<std::string> QuerySystemDirectory() {
  const char* override = std::getenv(kOverrideVariable);
  std::string directory =
      (override != nullptr && *override != '\0') ? override : kMachineStateDirectory;
  while (directory.size() > 1 && directory.back() == kPathSeparator) directory.pop_back();
  return directory;
}

std::string AppendPathComponent(const std::string& directory, std::string_view fileName) {
  std::string path = directory;
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace nodmark::platform

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/test_system_directory.h"

namespace nodmark::test {

std::string PrepareTestSystemDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "nodmark-system-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  ::setenv("NODMARK_SYSTEM_DIR", pattern.c_str(), /*overwrite=*/1);
  return pattern;
}

std::string TestSystemDirectoryLocation(const std::string& directory) { return directory; }

void ReleaseTestSystemDirectory(const std::string& directory) {
  ::unsetenv("NODMARK_SYSTEM_DIR");
  std::filesystem::remove_all(directory);
}

}  // namespace nodmark::test

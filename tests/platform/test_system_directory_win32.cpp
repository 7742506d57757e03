#include "platform/test_system_directory.h"

#include "platform/win32/architecture.h"

namespace nodmark::test {

// The 32-bit system directory of the 64-bit Wine prefix (as on 64-bit Windows): a 32-bit
// process names it system32, a 64-bit one SysWOW64. Names on this drive compare without
// regard to case.
std::string PrepareTestSystemDirectory() {
  return platform::win32::kIs64Bit ? "C:\\windows\\syswow64" : "C:\\windows\\system32";
}

std::string TestSystemDirectoryLocation(const std::string& /*directory*/) {
  return "C:\\windows\\syswow64";
}

void ReleaseTestSystemDirectory(const std::string& /*directory*/) {}

}  // namespace nodmark::test

#include "platform/test_system_directory.h"

namespace nodmark::test {

// Where a fresh Wine prefix keeps its system files (as on Windows); names on this
// drive compare without regard to case.
std::string PrepareTestSystemDirectory() { return "C:\\windows\\system32"; }

void ReleaseTestSystemDirectory(const std::string& /*directory*/) {}

}  // namespace nodmark::test

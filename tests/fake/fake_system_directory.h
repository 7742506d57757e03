#ifndef NODMARK_TESTS_FAKE_FAKE_SYSTEM_DIRECTORY_H_
#define NODMARK_TESTS_FAKE_FAKE_SYSTEM_DIRECTORY_H_

#include <optional>
#include <string>

namespace nodmark::fake {

// The scripted machine's system directory (none when unset). Paths are joined with
// a backslash, as on Windows. `location` is where it lies when that is named
// otherwise (a 32-bit process on 64-bit Windows); unset, the directory's own name.
struct SystemDirectoryScript {
  std::optional<std::string> directory = "C:\\WINDOWS\\system32";
  std::optional<std::string> location;
  int queries = 0;
};

SystemDirectoryScript& SystemDirectory();
SystemDirectoryScript& ResetSystemDirectory();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_SYSTEM_DIRECTORY_H_

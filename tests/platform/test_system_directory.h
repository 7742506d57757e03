#ifndef NODMARK_TESTS_PLATFORM_TEST_SYSTEM_DIRECTORY_H_
#define NODMARK_TESTS_PLATFORM_TEST_SYSTEM_DIRECTORY_H_

#include <string>

namespace nodmark::test {

// The directory the real platform layer must report as the system directory while a
// test runs: under Wine the prefix's own system directory; natively a fresh private
// directory that the layer is pointed at, so tests never touch /var/lib/nodmark.
std::string PrepareTestSystemDirectory();

// Where that directory lies, as the tool names it: under Wine the prefix's SysWOW64,
// which a 32-bit process opens as system32; natively the directory itself.
std::string TestSystemDirectoryLocation(const std::string& directory);

// Undoes PrepareTestSystemDirectory (removes the private directory, if one was made).
void ReleaseTestSystemDirectory(const std::string& directory);

}  // namespace nodmark::test

#endif  // NODMARK_TESTS_PLATFORM_TEST_SYSTEM_DIRECTORY_H_

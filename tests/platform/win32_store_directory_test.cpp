#include "platform/win32/store_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace nodmark::platform::win32 {
namespace {

UINT Answer(const char* path, LPSTR buffer, UINT capacity) {
  const auto length = static_cast<UINT>(std::strlen(path));
  if (length >= capacity) return length + 1;
  std::memcpy(buffer, path, length + 1);
  return length;
}
UINT WINAPI Fails(LPSTR, UINT) { return 0; }
UINT WINAPI NamesSysWow64(LPSTR buffer, UINT capacity) {
  return Answer("C:\\windows\\syswow64", buffer, capacity);
}
UINT WINAPI NamesSystem32(LPSTR buffer, UINT capacity) {
  return Answer("C:\\windows\\system32", buffer, capacity);
}
UINT WINAPI NamesTooLongAPath(LPSTR buffer, UINT capacity) {
  static const std::string longPath(MAX_PATH, 'x');
  return Answer(longPath.c_str(), buffer, capacity);
}

TEST(Win32StoreDirectory, The32BitSystemDirectoryWhereTheMachineHasOne) {
  EXPECT_EQ(StoreDirectory(NamesSysWow64, NamesSystem32), "C:\\windows\\syswow64");
}

TEST(Win32StoreDirectory, FallsBackToTheSystemDirectory) {
  EXPECT_EQ(StoreDirectory(nullptr, NamesSystem32), "C:\\windows\\system32");
  EXPECT_EQ(StoreDirectory(Fails, NamesSystem32), "C:\\windows\\system32") << "32-bit Windows";
  EXPECT_EQ(StoreDirectory(NamesTooLongAPath, NamesSystem32), "C:\\windows\\system32");
}

TEST(Win32StoreDirectory, NoneWhenNeitherAnswers) {
  EXPECT_EQ(StoreDirectory(Fails, Fails), std::nullopt);
  EXPECT_EQ(StoreDirectory(nullptr, NamesTooLongAPath), std::nullopt);
}

}  // namespace
}  // namespace nodmark::platform::win32

// The texts registration is made of: keys formed from the table's patterns, the
// module directory, and the GUID texts the real system reads.
#include <gtest/gtest.h>

#include <string>

#include "shell/classes_root_system.h"
#include "shell/module_directory.h"
#include "shell/registration_table.h"

namespace nodmark::testing {
namespace {

bool NoLeadBytes(unsigned char /*byte*/) { return false; }

// Lead bytes of the Japanese double-byte code page.
bool ShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(RegistrationKey, ArgumentReplacesThePlaceholderAsItStands) {
  const struct {
    const char* pattern;
    const char* argument;
    const char* key;
  } cases[] = {
      {"CLSID\\%s\\InprocServer32", "{A}", "CLSID\\{A}\\InprocServer32"},
      {"%s.1", "Nodmark.GerneralNodmark", "Nodmark.GerneralNodmark.1"},
      {"%s\\CLSID", "%s%d%%", "%s%d%%\\CLSID"},
      {"Nodmark.GerneralNodmark", nullptr, "Nodmark.GerneralNodmark"},
      {"100%s", nullptr, "100%s"},  // without an argument the pattern is the key
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const shell::RegistrationEntry entry{cases[i].pattern, cases[i].argument, nullptr, nullptr,
                                         false};
    EXPECT_EQ(shell::FormRegistrationKey(entry), cases[i].key) << "case " << i;
  }
}

TEST(ModuleDirectory, CutsAfterTheLastBackslash) {
  const struct {
    const char* path;
    const char* directory;
  } cases[] = {
      {"c:\\nodmark.DLL", "c:\\"},
      {"C:\\Program Files\\nodmark\\nodmark.dll", "C:\\Program Files\\nodmark\\"},
      {"\\\\server\\share\\nodmark.dll", "\\\\server\\share\\"},
      {"C:\\dir\\", "C:\\dir\\"},
      {"nodmark.dll", "nodmark.dll"},  // no backslash: the whole path
      {"", ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(shell::ModuleDirectory(cases[i].path, &NoLeadBytes), cases[i].directory)
        << "case " << i;
  }
}

TEST(ModuleDirectory, StepsOverDoubleByteCharacters) {
  const struct {
    std::string path;
    std::string directory;
  } cases[] = {
      // 0x95 0x5C is one character (its trail byte has the backslash's code).
      {"C:\\\x95\x5C\\a.dll", "C:\\\x95\x5C\\"},
      {"C:\\dir\\x\x95\x5C.dll", "C:\\dir\\"},
      {"C:\\\x95\x5C", "C:\\"},
      // A lead byte cut off at the very end is a byte of its own.
      {"C:\\dir\\\x95", "C:\\dir\\"},
      // Two lead bytes in a row: the second is the first one's trail byte.
      {"C:\\\x95\x95\\x", "C:\\\x95\x95\\"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(shell::ModuleDirectory(cases[i].path, &ShiftJisLeadByte), cases[i].directory)
        << "case " << i;
  }
  EXPECT_EQ(shell::ModuleDirectory("C:\\dir\\x\x95\x5C.dll", &NoLeadBytes), "C:\\dir\\x\x95\\")
      << "the same bytes in a single-byte code page";
}

TEST(ClassesRootSystem, GuidTextIsTheUpperCaseRegistryForm) {
  shell::ClassesRootSystem system(GetModuleHandleW(nullptr));
  const GUID guid = {0x0a47e819, 0xf82e, 0x4d5d, {0xb8, 0x06, 0x6a, 0x9e, 0xa9, 0x4d, 0x68, 0xcd}};
  std::string text = "unchanged";
  ASSERT_EQ(system.GuidText(guid, &text), S_OK);
  EXPECT_EQ(text, "{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}");
}

}  // namespace
}  // namespace nodmark::testing

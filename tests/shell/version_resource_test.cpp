// The version information of the shipped DLL, read as an installer reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <winver.h>

#include <string>
#include <vector>

#include "nodmark_version.h"  // the publisher's names this build was configured with
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

constexpr DWORD kVersionMs = 0x00010000;  // 1.0
constexpr DWORD kVersionLs = 0x00000001;  // .0.1

// A UTF-8 text of the build's configuration as UTF-16, as the resource holds it.
std::wstring Utf16(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

class VersionResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = NodmarkDllPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    block.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  }

  // The value at `subBlock`, or null when there is none.
  const void* Query(const wchar_t* subBlock, UINT* length) {
    void* value = nullptr;
    if (!VerQueryValueW(block.data(), subBlock, &value, length)) return nullptr;
    return value;
  }

  std::vector<unsigned char> block;
};

TEST_F(VersionResourceTest, FixedPartIsVersionOneZeroZeroOneOfAWin32Dll) {
  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", &length));
  ASSERT_NE(fixed, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwFileVersionMS, kVersionMs);
  EXPECT_EQ(fixed->dwFileVersionLS, kVersionLs);
  EXPECT_EQ(fixed->dwProductVersionMS, kVersionMs);
  EXPECT_EQ(fixed->dwProductVersionLS, kVersionLs);
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(VersionResourceTest, StringsAreInTheUsEnglishUnicodeBlock) {
  UINT length = 0;
  const auto* translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", &length));
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 2 * sizeof(WORD));
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  // The company and product names are the publisher's (by default empty and
  // "nodmark Module").
  const struct {
    const wchar_t* name;
    std::wstring value;
  } expected[] = {
      {L"FileDescription", L"nodmark Module"},
      {L"FileVersion", L"1, 0, 0, 1"},
      {L"InternalName", L"nodmark"},
      {L"OriginalFilename", L"nodmark.DLL"},
      {L"ProductName", Utf16(NODMARK_PRODUCT_NAME_TEXT)},
      {L"ProductVersion", L"1, 0, 0, 1"},
      {L"CompanyName", Utf16(NODMARK_COMPANY_NAME_TEXT)},
      {L"OLESelfRegister", L""},
  };
  for (const auto& entry : expected) {
    const std::wstring subBlock = std::wstring(L"\\StringFileInfo\\040904B0\\") + entry.name;
    UINT chars = 0;
    const auto* value = static_cast<const wchar_t*>(Query(subBlock.c_str(), &chars));
    const std::string name(entry.name, entry.name + wcslen(entry.name));
    // An empty entry must still be there: installers look for "OLESelfRegister" by name.
    ASSERT_NE(value, nullptr) << "no entry " << name;
    EXPECT_EQ(std::wstring(value), entry.value) << name;
    EXPECT_EQ(chars, entry.value.size() + 1) << name << ": the text and one terminator";
  }
}

}  // namespace
}  // namespace nodmark::testing

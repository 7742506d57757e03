#include "shell/automation_string.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_automation_alloc.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"

namespace nodmark::shell {
namespace {

using testing::kJunkString;

class AutomationStringTest : public ::testing::Test {
 protected:
  void SetUp() override { alloc = &fake::ResetAutomationAlloc(); }

  // The converted string, with the result in `hr`.
  platform::ScopedBstr Convert(const std::string& text, HRESULT& hr) {
    BSTR converted = kJunkString;
    hr = AnsiToAutomationString(text, &converted);
    return platform::ScopedBstr(converted);
  }

  fake::AutomationAllocScript* alloc = nullptr;
};

TEST_F(AutomationStringTest, EmptyTextGivesEmptyNonNullString) {
  HRESULT hr = E_FAIL;
  const platform::ScopedBstr converted = Convert("", hr);
  EXPECT_EQ(hr, S_OK);
  ASSERT_NE(converted.get(), nullptr) << "a null BSTR would read as a missing value";
  EXPECT_EQ(SysStringLen(converted.get()), 0u);
}

TEST_F(AutomationStringTest, IdentifierTextsConvertCharacterForCharacter) {
  const std::string texts[] = {"FFFFFFFFFFFFFFFF", "001A2B3C4D5EK7Q4", "4D3C2B1A0000ZZZ4",
                               "4C622E76A79B052C4012ED4B9789059F"};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    HRESULT hr = E_FAIL;
    const platform::ScopedBstr converted = Convert(texts[i], hr);
    ASSERT_EQ(hr, S_OK) << "text " << i;
    EXPECT_EQ(std::wstring(converted.get(), SysStringLen(converted.get())),
              testing::Widen(texts[i]))
        << "text " << i;
    EXPECT_EQ(converted.get()[texts[i].size()], L'\0') << "text " << i;
  }
}

TEST_F(AutomationStringTest, ConversionStopsAtTheFirstZeroByte) {
  HRESULT hr = E_FAIL;
  const platform::ScopedBstr converted = Convert(std::string("AB\0CD", 5), hr);
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(std::wstring(converted.get(), SysStringLen(converted.get())), L"AB");
}

TEST_F(AutomationStringTest, BytesBeyondAsciiFollowTheAnsiCodePage) {
  // A stored random identifier edited outside the component may hold such bytes.
  if (GetACP() != 1252) GTEST_SKIP() << "expectations are for ANSI code page 1252";
  HRESULT hr = E_FAIL;
  const platform::ScopedBstr converted = Convert("\xC9t\xE9\x80", hr);
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(std::wstring(converted.get(), SysStringLen(converted.get())), L"\u00C9t\u00E9\u20AC");
}

TEST_F(AutomationStringTest, EachConversionAllocatesOneFreshString) {
  HRESULT hr = E_FAIL;
  const platform::ScopedBstr first = Convert("ABC", hr);
  const platform::ScopedBstr second = Convert("ABC", hr);
  EXPECT_EQ(alloc->calls, 2);
  EXPECT_NE(first.get(), second.get());
}

TEST_F(AutomationStringTest, NoMemoryForTheStringGivesOutOfMemoryAndNull) {
  alloc->failNext = 1;
  BSTR converted = kJunkString;
  EXPECT_EQ(AnsiToAutomationString("001A2B3C4D5E0000", &converted), E_OUTOFMEMORY);
  EXPECT_EQ(converted, nullptr);
}

}  // namespace
}  // namespace nodmark::shell

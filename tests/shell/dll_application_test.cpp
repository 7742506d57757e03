// The per-application identifiers of an instance made by the shipped DLL, early bound
// through IGerneralNodmark2: their values, their stability and their bad arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "identifiers/application_identifier.h"
#include "identifiers/identifier_set.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

const wchar_t kApplication[] = L"com.example.invoicing";

class DllApplicationTest : public DllClientTest {
 protected:
  void SetUp() override {
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    object = NewInstance();
    ASSERT_TRUE(object);
    application.reset(SysAllocString(kApplication));
  }
  void TearDown() override {
    object.reset();
    DllClientTest::TearDown();
  }

  platform::ComPtr<IGerneralNodmark2> NewInstance() {
    platform::ComPtr<IGerneralNodmark2> created;
    platform::ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(factory->CreateInstance(nullptr, GuidFromText(kIid2Text), created.put_void()), S_OK);
    return created;
  }

  // Method `index` of kApplicationMethods for `name`, or the failure's HRESULT as text.
  static std::wstring Read(IGerneralNodmark2* from, std::size_t index, BSTR name) {
    platform::ScopedBstr value;
    const HRESULT hr = kApplicationMethods[index].read(from, name, value.put());
    if (FAILED(hr)) return L"failed " + std::to_wstring(hr);
    return value.get();
  }

  platform::ComPtr<IGerneralNodmark2> object;
  platform::ScopedBstr application;
};

TEST_F(DllApplicationTest, BothInterfacesAreTheOneDualEntry) {
  platform::ComPtr<IGerneralNodmark> first;
  ASSERT_EQ(object.As(iid, first), S_OK);
  EXPECT_EQ(static_cast<void*>(first.get()), static_cast<void*>(object.get()));
}

TEST_F(DllApplicationTest, EachIsTheApplicationsFormOfItsIdentifier) {
  const identifiers::IdentifierSet expected;
  const std::string bases[] = {expected.GetOldIdentifier(), expected.GetNewIdentifier(),
                               expected.GetComplicateIdentifier()};
  for (std::size_t i = 0; i < std::size(kApplicationMethods); ++i) {
    EXPECT_EQ(Read(object.get(), i, application.get()),
              Widen(identifiers::ApplicationIdentifier(bases[i], "com.example.invoicing")))
        << kApplicationMethods[i].name;
  }
}

TEST_F(DllApplicationTest, SameNameGivesTheSameValueInEveryInstanceAnotherNameAnother) {
  platform::ComPtr<IGerneralNodmark2> second = NewInstance();
  ASSERT_TRUE(second);
  platform::ScopedBstr other(SysAllocString(L"com.example.payroll"));
  for (std::size_t i = 0; i < std::size(kApplicationMethods); ++i) {
    const std::wstring value = Read(object.get(), i, application.get());
    EXPECT_EQ(Read(second.get(), i, application.get()), value) << kApplicationMethods[i].name;
    EXPECT_NE(Read(object.get(), i, other.get()), value) << kApplicationMethods[i].name;
  }
}

TEST_F(DllApplicationTest, BadArgumentsAreRefusedAndLeaveNoString) {
  platform::ScopedBstr empty(SysAllocString(L""));
  const wchar_t loneSurrogate[] = {L'a', 0xD800, L'b', 0};
  platform::ScopedBstr invalid(SysAllocString(loneSurrogate));
  const struct {
    const char* what;
    BSTR name;
  } refused[] = {{"null", nullptr}, {"empty", empty.get()}, {"lone surrogate", invalid.get()}};
  for (const ApplicationMethod& method : kApplicationMethods) {
    for (const auto& bad : refused) {
      BSTR value = kJunkString;
      EXPECT_EQ(method.read(object.get(), bad.name, &value), E_INVALIDARG)
          << method.name << ", " << bad.what;
      EXPECT_EQ(value, nullptr) << method.name << ", " << bad.what;
    }
    EXPECT_EQ(method.read(object.get(), application.get(), nullptr), E_POINTER) << method.name;
  }
}

}  // namespace
}  // namespace nodmark::testing

// An instance of GerneralNodmark made by the shipped DLL: its interfaces, its
// properties and its safety answers, as a client sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include <objsafe.h>

#include <string>

#include "identifiers/identifier_set.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

class DllInstanceTest : public DllClientTest {
 protected:
  void SetUp() override {
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    platform::ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->CreateInstance(nullptr, iid, object.put_void()), S_OK);
  }
  void TearDown() override {
    object.reset();
    DllClientTest::TearDown();
  }

  // The identifiers as this test program computes them with the same sources.
  static const identifiers::IdentifierSet& Expected() {
    static const identifiers::IdentifierSet identifiers;
    return identifiers;
  }

  platform::ComPtr<IGerneralNodmark> object;
};

TEST_F(DllInstanceTest, DualInterfaceIsAlsoItsIUnknownAndIDispatch) {
  platform::ComPtr<IUnknown> unknown;
  platform::ComPtr<IDispatch> dispatch;
  platform::ComPtr<IGerneralNodmark> dual;
  ASSERT_EQ(object.As(IID_IUnknown, unknown), S_OK);
  ASSERT_EQ(object.As(IID_IDispatch, dispatch), S_OK);
  ASSERT_EQ(object.As(iid, dual), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(object.get()));
  EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(object.get()));
  EXPECT_EQ(dual.get(), object.get());
}

TEST_F(DllInstanceTest, SafetyEntryIsAnotherPointerLeadingBackToTheSameObject) {
  platform::ComPtr<IObjectSafety> safety;
  ASSERT_EQ(object.As(IID_IObjectSafety, safety), S_OK);
  EXPECT_NE(static_cast<void*>(safety.get()), static_cast<void*>(object.get()));

  platform::ComPtr<IUnknown> unknownFromSafety;
  platform::ComPtr<IGerneralNodmark> dualFromSafety;
  ASSERT_EQ(safety.As(IID_IUnknown, unknownFromSafety), S_OK);
  ASSERT_EQ(safety.As(iid, dualFromSafety), S_OK);
  EXPECT_EQ(static_cast<void*>(unknownFromSafety.get()), static_cast<void*>(object.get()));
  EXPECT_EQ(dualFromSafety.get(), object.get());
}

TEST_F(DllInstanceTest, InterfaceNotInTheTableGivesNoInterfaceAndNull) {
  void* factory = kJunkPointer;
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &factory), E_NOINTERFACE);
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(DllInstanceTest, ReferenceCountsAreSharedByBothEntries) {
  EXPECT_EQ(object->AddRef(), 2u);
  platform::ComPtr<IObjectSafety> safety;
  ASSERT_EQ(object.As(IID_IObjectSafety, safety), S_OK);
  EXPECT_EQ(safety->AddRef(), 4u);
  EXPECT_EQ(safety->Release(), 3u);
  safety.reset();
  EXPECT_EQ(object->Release(), 1u);
}

TEST_F(DllInstanceTest, GettersReturnTheIdentifiersComputedFromTheSameMachine) {
  const std::string expected[] = {Expected().GetOldIdentifier(), Expected().GetNewIdentifier(),
                                  Expected().GetComplicateIdentifier()};
  for (std::size_t i = 0; i < std::size(kPropertyGetters); ++i) {
    const PropertyGetter& getter = kPropertyGetters[i];
    platform::ScopedBstr value;
    ASSERT_EQ(getter.read(object.get(), value.put()), S_OK) << getter.name;
    ASSERT_NE(value.get(), nullptr) << getter.name;
    EXPECT_EQ(std::wstring(value.get(), SysStringLen(value.get())), Widen(expected[i]))
        << getter.name;
  }
  EXPECT_EQ(Expected().GetOldIdentifier().size(), 16u);
  EXPECT_EQ(Expected().GetComplicateIdentifier().size(), 32u);
}

TEST_F(DllInstanceTest, EachReadIsAFreshStringWithEqualContent) {
  for (const PropertyGetter& getter : kPropertyGetters) {
    platform::ScopedBstr first;
    platform::ScopedBstr second;
    ASSERT_EQ(getter.read(object.get(), first.put()), S_OK) << getter.name;
    ASSERT_EQ(getter.read(object.get(), second.put()), S_OK) << getter.name;
    EXPECT_NE(first.get(), second.get()) << getter.name << ": the caller owns each string";
    EXPECT_EQ(VarBstrCmp(first.get(), second.get(), LOCALE_USER_DEFAULT, 0),
              static_cast<HRESULT>(VARCMP_EQ))
        << getter.name;
  }
}

TEST_F(DllInstanceTest, GetterWithNullOutPointerGivesEPointer) {
  for (const PropertyGetter& getter : kPropertyGetters) {
    EXPECT_EQ(getter.read(object.get(), nullptr), E_POINTER) << getter.name;
  }
}

TEST_F(DllInstanceTest, SafetyOptionsSucceedAndWriteNothing) {
  platform::ComPtr<IObjectSafety> safety;
  ASSERT_EQ(object.As(IID_IObjectSafety, safety), S_OK);
  const IID asked[] = {IID_IDispatch, IID_IUnknown, iid, IID_IClassFactory};
  for (std::size_t i = 0; i < std::size(asked); ++i) {
    DWORD supported = 0xA5A5A5A5;
    DWORD enabled = 0x5A5A5A5A;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(asked[i], &supported, &enabled), S_OK) << i;
    EXPECT_EQ(supported, 0xA5A5A5A5u) << i;
    EXPECT_EQ(enabled, 0x5A5A5A5Au) << i;
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(asked[i], INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                INTERFACESAFE_FOR_UNTRUSTED_CALLER),
              S_OK)
        << i;
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(asked[i], ~DWORD{0}, 0), S_OK) << i;
  }
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, nullptr), S_OK);
}

TEST_F(DllInstanceTest, DispatchMethodsRefuseNullOutPointers) {
  EXPECT_EQ(object->GetTypeInfoCount(nullptr), E_POINTER);
  EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"nodmark_old")};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
}

TEST_F(DllInstanceTest, InstanceKeepsTheModuleLockedUntilReleased) {
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE);
  EXPECT_EQ(object.release()->Release(), 0u);
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace nodmark::testing

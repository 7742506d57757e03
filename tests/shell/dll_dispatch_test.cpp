// Late binding to the shipped DLL through Wine's OLE Automation: the type library is
// found through the keys DllRegisterServer writes, and the COM runtime creates the
// class by its ProgIDs.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

#include "platform/win32/com_ptr.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/registered_dll_fixture.h"
#include "sources/machine_sources.h"

namespace nodmark::testing {
namespace {

class DllDispatchTest : public RegisteredDllTest {
 protected:
  void SetUp() override {
    RegisteredDllTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(dll->RegisterServer(), S_OK);
  }

  platform::ComPtr<IGerneralNodmark> NewObject() {
    platform::ComPtr<IGerneralNodmark> object;
    platform::ComPtr<IClassFactory> factory = Factory();
    if (factory) {
      EXPECT_EQ(factory->CreateInstance(nullptr, iid, object.put_void()), S_OK);
    }
    return object;
  }

  static std::wstring Direct(IGerneralNodmark* object, std::size_t property) {
    platform::ScopedBstr value;
    EXPECT_EQ(kPropertyGetters[property].read(object, value.put()), S_OK);
    return value ? std::wstring(value.get(), SysStringLen(value.get())) : L"";
  }
};

TEST_F(DllDispatchTest, NamesMapToOneTwoThreeInAnyLetterCase) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  const struct {
    const wchar_t* name;
    DISPID dispid;
  } cases[] = {{L"nodmark_old", 1},
               {L"nodmark_new", 2},
               {L"nodmark_complicate", 3},
               {L"NODMARK_OLD", 1},
               {L"Nodmark_Complicate", 3}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    DISPID dispid = kJunkDispid;
    EXPECT_EQ(IdOf(object.get(), cases[i].name, &dispid), S_OK) << "case " << i;
    EXPECT_EQ(dispid, cases[i].dispid) << "case " << i;
  }
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_none", &dispid), DISP_E_UNKNOWNNAME);
}

TEST_F(DllDispatchTest, InvokeOfEachDispidEqualsTheDirectGetter) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  for (DISPID dispid = 1; dispid <= 3; ++dispid) {
    ScopedVariant result;
    ASSERT_EQ(ReadByDispid(object.get(), dispid, &result.value), S_OK) << dispid;
    ASSERT_EQ(result.value.vt, VT_BSTR) << dispid;
    EXPECT_EQ(std::wstring(result.value.bstrVal, SysStringLen(result.value.bstrVal)),
              Direct(object.get(), static_cast<std::size_t>(dispid - 1)))
        << dispid;
  }
}

TEST_F(DllDispatchTest, MethodsOfTheDefaultInterfaceAreCalledByNameInAnyLetterCase) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  platform::ComPtr<IGerneralNodmark2> early;
  ASSERT_EQ(object.As(GuidFromText(kIid2Text), early), S_OK);
  const wchar_t* const otherCase[] = {L"NODMARK_OLD_FOR", L"Nodmark_New_For",
                                      L"nodmark_COMPLICATE_for"};
  ScopedVariant application;
  application.value.vt = VT_BSTR;
  application.value.bstrVal = SysAllocString(L"com.example.invoicing");
  for (std::size_t i = 0; i < std::size(kApplicationMethods); ++i) {
    DISPID dispid = kJunkDispid;
    ASSERT_EQ(IdOf(object.get(), otherCase[i], &dispid), S_OK) << i;
    EXPECT_EQ(dispid, static_cast<DISPID>(4 + i)) << i;
    DISPPARAMS arguments = {&application.value, nullptr, 1, 0};
    ScopedVariant result;
    ASSERT_EQ(object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &arguments,
                             &result.value, nullptr, nullptr),
              S_OK)
        << i;
    ASSERT_EQ(result.value.vt, VT_BSTR) << i;
    platform::ScopedBstr direct;
    ASSERT_EQ(kApplicationMethods[i].read(early.get(), application.value.bstrVal, direct.put()),
              S_OK);
    const std::wstring value(result.value.bstrVal);
    EXPECT_EQ(value, std::wstring(direct.get())) << i;
    // For the smoke run over both DLLs (tests/windows/smoke_test.sh), as the properties.
    RecordProperty(kApplicationMethods[i].name, std::string(value.begin(), value.end()));
  }
}

TEST_F(DllDispatchTest, InstancesShareTheOneTypeInformationWhateverTheIndex) {
  platform::ComPtr<IGerneralNodmark> first = NewObject();
  platform::ComPtr<IGerneralNodmark> second = NewObject();
  ASSERT_TRUE(first && second);
  platform::ComPtr<ITypeInfo> firstInfo;
  platform::ComPtr<ITypeInfo> secondInfo;
  ASSERT_EQ(first->GetTypeInfo(0, LOCALE_USER_DEFAULT, firstInfo.put()), S_OK);
  ASSERT_EQ(second->GetTypeInfo(5, LOCALE_USER_DEFAULT, secondInfo.put()), S_OK);
  EXPECT_EQ(firstInfo.get(), secondInfo.get()) << "loaded once, shared by every instance";
  UINT count = 0;
  EXPECT_EQ(second->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
}

TEST_F(DllDispatchTest, UnregisteredLibraryFailsDispatchUntilRegisteredAgain) {
  // A module of its own, whose type information no other client in this process can
  // have loaded.
  const std::wstring freshCopy = NodmarkDllPath() + L".fresh.dll";
  ASSERT_TRUE(CopyNodmarkDll(freshCopy));
  dll = std::make_unique<NodmarkDll>(freshCopy);
  ASSERT_TRUE(dll->loaded());
  ASSERT_EQ(dll->UnregisterServer(), S_OK);
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  ScopedVariant result;
  const HRESULT loadError = ReadByDispid(object.get(), 2, &result.value);
  EXPECT_EQ(loadError, TYPE_E_LIBNOTREGISTERED);
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_new", &dispid), loadError);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(kJunkPointer);
  EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), loadError);
  EXPECT_EQ(info, nullptr);
  const std::wstring direct = Direct(object.get(), 1);
  EXPECT_EQ(direct.size(), 16u) << "the getters do not need the type library";

  // Registered again while the same module stays loaded: the next call loads it.
  ASSERT_EQ(dll->RegisterServer(), S_OK);
  ASSERT_EQ(ReadByDispid(object.get(), 2, &result.value), S_OK);
  ASSERT_EQ(result.value.vt, VT_BSTR);
  EXPECT_EQ(std::wstring(result.value.bstrVal), direct);
}

TEST_F(DllDispatchTest, ComRuntimeCreatesTheClassByEitherProgId) {
  std::wstring expected[3];
  {
    platform::ComPtr<IGerneralNodmark> reference = NewObject();
    ASSERT_TRUE(reference);
    for (std::size_t i = 0; i < 3; ++i) expected[i] = Direct(reference.get(), i);
  }
  // Kept in the XML report, where the run over both architectures' DLLs in one prefix
  // (tests/windows/smoke_test.sh) compares them, with the processor this process sees:
  // under an emulator the 32-bit process sees the emulated one.
  for (std::size_t i = 0; i < 3; ++i) {
    std::string ascii;
    for (const wchar_t c : expected[i]) ascii += static_cast<char>(c);
    RecordProperty(kPropertyGetters[i].name, ascii);
  }
  ByteString processor;
  sources::ReadProcessorSignature(processor);
  RecordProperty("processor_signature", std::string(processor.begin(), processor.end()));
  for (const wchar_t* progId : {L"Nodmark.GerneralNodmark", L"Nodmark.GerneralNodmark.1"}) {
    CLSID found{};
    ASSERT_EQ(CLSIDFromProgID(progId, &found), S_OK) << progId;
    EXPECT_EQ(found, clsid);
    platform::ComPtr<IDispatch> object;
    ASSERT_EQ(
        CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
        S_OK)
        << progId;
    const wchar_t* names[] = {L"nodmark_old", L"nodmark_new", L"nodmark_complicate"};
    for (std::size_t i = 0; i < 3; ++i) {
      DISPID dispid = kJunkDispid;
      ASSERT_EQ(IdOf(object.get(), names[i], &dispid), S_OK) << progId << ' ' << i;
      ScopedVariant result;
      ASSERT_EQ(ReadByDispid(object.get(), dispid, &result.value), S_OK) << progId << ' ' << i;
      EXPECT_EQ(std::wstring(result.value.bstrVal), expected[i]) << progId << ' ' << i;
    }
  }
  // The COM runtime holds its own load of the DLL; let it go before the test frees its own.
  CoFreeUnusedLibrariesEx(/*delay=*/0, /*reserved=*/0);
}

}  // namespace
}  // namespace nodmark::testing

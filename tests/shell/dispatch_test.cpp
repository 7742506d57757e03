// Dispatch through the type information, with the shell linked into this program and
// a scripted type-library loader that reads the shipped DLL's type library or fails.
#include "shell/dispatch.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <thread>
#include <vector>

#include "fake/fake_type_library_loader.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/failing_new.h"
#include "shell/in_process_fixture.h"
#include "shell/nodmark_dll.h"
#include "shell/type_info_cache.h"

namespace nodmark::testing {
namespace {

constexpr DISPID kOld = 1;
constexpr DISPID kNew = 2;
constexpr DISPID kComplicate = 3;

class DispatchTest : public InProcessShellTest {
 protected:
  void SetUp() override {
    InProcessShellTest::SetUp();
    loader = &fake::ResetTypeLibraryLoader(NodmarkDllPath());
  }

  platform::ComPtr<IGerneralNodmark> NewObject() {
    platform::ComPtr<IGerneralNodmark> object;
    platform::ComPtr<IClassFactory> factory = Factory();
    EXPECT_TRUE(factory);
    if (factory) {
      EXPECT_EQ(factory->CreateInstance(nullptr, GuidFromText(kIidText), object.put_void()), S_OK);
    }
    return object;
  }

  // The module detached and attached again, as FreeLibrary and LoadLibrary would.
  void Reattach() {
    shell::DetachModule();
    shell::AttachModule(GetModuleHandleW(nullptr));
  }

  fake::TypeLibraryLoaderScript* loader = nullptr;
};

TEST_F(DispatchTest, CountIsOne) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  UINT count = 7;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(object->GetTypeInfoCount(nullptr), E_POINTER);
  EXPECT_EQ(loader->loads, 0) << "counting needs no type information";
}

TEST_F(DispatchTest, NamesMapToTheirDispidsWhateverTheirLetterCase) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  const struct {
    const wchar_t* name;
    DISPID dispid;
  } cases[] = {
      {L"nodmark_old", kOld}, {L"nodmark_new", kNew}, {L"nodmark_complicate", kComplicate},
      {L"NODMARK_OLD", kOld}, {L"Nodmark_New", kNew}, {L"NODMARK_complicate", kComplicate},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    DISPID dispid = kJunkDispid;
    EXPECT_EQ(IdOf(object.get(), cases[i].name, &dispid), S_OK) << "case " << i;
    EXPECT_EQ(dispid, cases[i].dispid) << "case " << i;
  }
  EXPECT_EQ(loader->loads, 1) << "loaded once, on the first call";
  EXPECT_EQ(loader->lastLcid, static_cast<LCID>(LOCALE_USER_DEFAULT));
}

TEST_F(DispatchTest, UnknownOrNullNameIsUnknown) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_older", &dispid), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispid, DISPID_UNKNOWN);
  dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), nullptr, &dispid), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispid, DISPID_UNKNOWN);
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, nullptr, 0, LOCALE_USER_DEFAULT, nullptr), S_OK)
      << "no names asked for";
  EXPECT_EQ(IdOf(object.get(), L"nodmark_old", nullptr), E_POINTER);
}

TEST_F(DispatchTest, NamesAfterTheFirstAreArgumentsNotMembers) {
  // A member with a "named argument" that is really another member's name: the
  // property getters take no named arguments, so the second name is unknown.
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"nodmark_old"), const_cast<LPOLESTR>(L"nodmark_new")};
  DISPID dispids[] = {kJunkDispid, kJunkDispid};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, dispids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispids[0], kOld);
  EXPECT_EQ(dispids[1], DISPID_UNKNOWN);
}

TEST_F(DispatchTest, GetTypeInfoOfAnyIndexGivesTheOneTypeInformation) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  platform::ComPtr<ITypeInfo> first;
  platform::ComPtr<ITypeInfo> fifth;
  ASSERT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, first.put()), S_OK);
  ASSERT_EQ(object->GetTypeInfo(5, LOCALE_USER_DEFAULT, fifth.put()), S_OK);
  EXPECT_EQ(first.get(), fifth.get());
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(first->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, GuidFromText(kIid2Text)) << "the default interface's";
  first->ReleaseTypeAttr(attributes);
  platform::ComPtr<ITypeInfo2> richer;
  EXPECT_EQ(first.As(IID_ITypeInfo2, richer), S_OK);
  EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
}

TEST_F(DispatchTest, InvokeReadsEachPropertyThroughTheEntry) {
  fake::Sources().volumeSerial = ByteString{0x12, 0x34, 0xAB, 0xCD};
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  const DISPID dispids[] = {kOld, kNew, kComplicate};
  for (std::size_t i = 0; i < std::size(dispids); ++i) {
    platform::ScopedBstr direct;
    ASSERT_EQ(kPropertyGetters[i].read(object.get(), direct.put()), S_OK) << i;
    ScopedVariant result;
    ASSERT_EQ(ReadByDispid(object.get(), dispids[i], &result.value), S_OK) << i;
    ASSERT_EQ(result.value.vt, VT_BSTR) << i;
    EXPECT_EQ(std::wstring(result.value.bstrVal), std::wstring(direct.get())) << i;
  }
}

TEST_F(DispatchTest, InvokeThatTheTypeInformationRefusesPassesItsResultThrough) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  ScopedVariant result;
  EXPECT_EQ(ReadByDispid(object.get(), /*dispid=*/7, &result.value), DISP_E_MEMBERNOTFOUND);
  DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(object->Invoke(kOld, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &noArguments,
                           nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND)
      << "read-only";
  EXPECT_EQ(object->Invoke(kOld, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, nullptr,
                           &result.value, nullptr, nullptr),
            E_INVALIDARG);
}

TEST_F(DispatchTest, UnloadableLibraryFailsDispatchButNotTheGettersAndIsRetried) {
  loader->failWith = TYPE_E_LIBNOTREGISTERED;
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  constexpr int kAttempts = 20;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(kJunkPointer);
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(info, nullptr);
    DISPID dispid = kJunkDispid;
    EXPECT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), TYPE_E_LIBNOTREGISTERED);
    ScopedVariant result;
    EXPECT_EQ(ReadByDispid(object.get(), kOld, &result.value), TYPE_E_LIBNOTREGISTERED);
    EXPECT_EQ(result.value.vt, VT_EMPTY);
  }
  EXPECT_EQ(loader->loads, 3 * kAttempts) << "every call tries again";
  EXPECT_EQ(shell::ShutdownCallbackCount(), 1u) << "the clean-up is listed once, not per call";
  for (const PropertyGetter& getter : kPropertyGetters) {
    platform::ScopedBstr value;
    EXPECT_EQ(getter.read(object.get(), value.put()), S_OK) << getter.name;
  }

  loader->failWith = S_OK;  // registered now: the next call loads it
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_new", &dispid), S_OK);
  EXPECT_EQ(dispid, kNew);
  EXPECT_EQ(loader->loads, 3 * kAttempts + 1);
  EXPECT_EQ(shell::ShutdownCallbackCount(), 1u);
}

TEST_F(DispatchTest, LibraryWithoutTheInterfacePassesTheLookupFailureThrough) {
  loader->libraryFile = L"stdole2.tlb";
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_EQ(shell::LoadedTypeInfo(shell::ProcessTypeInfoCache()), nullptr);
}

TEST_F(DispatchTest, InstancesShareOneTypeInformationLoadedOnce) {
  platform::ComPtr<IGerneralNodmark> first = NewObject();
  platform::ComPtr<IGerneralNodmark> second = NewObject();
  ASSERT_TRUE(first && second);
  platform::ComPtr<ITypeInfo> firstInfo;
  platform::ComPtr<ITypeInfo> secondInfo;
  ASSERT_EQ(first->GetTypeInfo(0, LOCALE_USER_DEFAULT, firstInfo.put()), S_OK);
  ScopedVariant result;
  ASSERT_EQ(ReadByDispid(second.get(), kNew, &result.value), S_OK);
  ASSERT_EQ(second->GetTypeInfo(0, LOCALE_USER_DEFAULT, secondInfo.put()), S_OK);
  EXPECT_EQ(firstInfo.get(), secondInfo.get());
  EXPECT_EQ(loader->loads, 1);
  first.reset();
  second.reset();
  platform::ComPtr<IGerneralNodmark> third = NewObject();
  ASSERT_TRUE(third);
  ASSERT_EQ(ReadByDispid(third.get(), kOld, &result.value), S_OK);
  EXPECT_EQ(loader->loads, 1) << "kept while no instance lives";
}

TEST_F(DispatchTest, DetachEmptiesTheCacheAndTheNextModuleLoadsAgain) {
  {
    platform::ComPtr<IGerneralNodmark> object = NewObject();
    ASSERT_TRUE(object);
    DISPID dispid = kJunkDispid;
    ASSERT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), S_OK);
  }
  shell::TypeInfoCache& cache = shell::ProcessTypeInfoCache();
  ASSERT_NE(shell::LoadedTypeInfo(cache), nullptr);
  Reattach();
  EXPECT_EQ(shell::LoadedTypeInfo(cache), nullptr);
  EXPECT_EQ(cache.names.size(), 0u);

  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  DISPID dispid = kJunkDispid;
  EXPECT_EQ(IdOf(object.get(), L"nodmark_complicate", &dispid), S_OK);
  EXPECT_EQ(dispid, kComplicate);
  EXPECT_EQ(loader->loads, 2);
  EXPECT_EQ(shell::ShutdownCallbackCount(), 1u) << "listed again for the new module";
}

TEST_F(DispatchTest, CleanUpIsHarmlessTwice) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  DISPID dispid = kJunkDispid;
  ASSERT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), S_OK);
  shell::TypeInfoCache& cache = shell::ProcessTypeInfoCache();
  shell::CleanUpTypeInfoCache(&cache);
  shell::CleanUpTypeInfoCache(&cache);
  EXPECT_EQ(shell::LoadedTypeInfo(cache), nullptr);
  EXPECT_EQ(cache.names.size(), 0u);
  // The detach at the end of the test runs it a third time.
}

TEST_F(DispatchTest, CleanUpThatCannotBeListedStillLoadsAndDetachReleasesIt) {
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  DISPID dispid = kJunkDispid;
  {
    const AllocationFault fault(/*failAt=*/0);  // the shutdown list's node
    EXPECT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), S_OK);
    EXPECT_TRUE(fault.failed());
  }
  EXPECT_EQ(dispid, kOld);
  EXPECT_EQ(shell::ShutdownCallbackCount(), 0u);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
  object.reset();
  Reattach();
  EXPECT_EQ(shell::LoadedTypeInfo(shell::ProcessTypeInfoCache()), nullptr);
  EXPECT_EQ(info->Release(), 0u) << "the detached module still held a reference";
}

TEST_F(DispatchTest, ExactNamesAreAnsweredWithoutTheTypeInformation) {
  loader->countNameLookups = true;
  platform::ComPtr<IGerneralNodmark> object = NewObject();
  ASSERT_TRUE(object);
  const struct {
    const wchar_t* name;
    DISPID dispid;
    int lookupsAfter;
  } cases[] = {
      {L"nodmark_old", kOld, 0},
      {L"nodmark_new", kNew, 0},
      {L"nodmark_complicate", kComplicate, 0},
      {L"nodmark_new_for", 5, 0},  // the default interface's own members too
      {L"NODMARK_OLD", kOld, 1},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    DISPID dispid = kJunkDispid;
    EXPECT_EQ(IdOf(object.get(), cases[i].name, &dispid), S_OK) << "case " << i;
    EXPECT_EQ(dispid, cases[i].dispid) << "case " << i;
    EXPECT_EQ(loader->nameLookups, cases[i].lookupsAfter) << "case " << i;
  }
}

TEST_F(DispatchTest, FirstLoadFailingAtAnyAllocationStillAnswersAndLeaksNothing) {
  long allocationsOfALoad = 0;
  {
    platform::ComPtr<IGerneralNodmark> object = NewObject();
    ASSERT_TRUE(object);
    DISPID dispid = kJunkDispid;
    const AllocationFault fault(/*failAt=*/-1);
    ASSERT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), S_OK);
    allocationsOfALoad = fault.allocations();
  }
  ASSERT_GE(allocationsOfALoad, 2) << "the shutdown node and the name cache";
  Reattach();
  for (long failAt = 0; failAt < allocationsOfALoad; ++failAt) {
    const long liveBefore = LiveAllocationsOfThisThread();
    {
      platform::ComPtr<IGerneralNodmark> object = NewObject();
      ASSERT_TRUE(object);
      DISPID dispid = kJunkDispid;
      {
        const AllocationFault fault(failAt);
        EXPECT_EQ(IdOf(object.get(), L"nodmark_old", &dispid), S_OK) << "allocation " << failAt;
      }
      EXPECT_EQ(dispid, kOld) << "allocation " << failAt;
      // Whatever the first call left out, dispatch works afterwards.
      ScopedVariant result;
      EXPECT_EQ(ReadByDispid(object.get(), kNew, &result.value), S_OK) << "allocation " << failAt;
      EXPECT_EQ(IdOf(object.get(), L"NODMARK_COMPLICATE", &dispid), S_OK);
      EXPECT_EQ(dispid, kComplicate) << "allocation " << failAt;
    }
    shell::DetachModule();
    EXPECT_EQ(LiveAllocationsOfThisThread(), liveBefore) << "allocation " << failAt;
    shell::AttachModule(GetModuleHandleW(nullptr));
  }
}

TEST_F(DispatchTest, ConcurrentFirstCallsLoadOnce) {
  constexpr int kThreads = 4;
  std::vector<HRESULT> results(kThreads, E_FAIL);
  std::vector<DISPID> dispids(kThreads, kJunkDispid);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&results, &dispids, t] {
      LPOLESTR names[] = {const_cast<LPOLESTR>(L"nodmark_new")};
      results[t] = shell::DispatchGetIDsOfNames(names, 1, LOCALE_USER_DEFAULT, &dispids[t]);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(results[t], S_OK) << "thread " << t;
    EXPECT_EQ(dispids[t], kNew) << "thread " << t;
  }
  EXPECT_EQ(loader->loads, 1);
  EXPECT_EQ(shell::ShutdownCallbackCount(), 1u);
}

}  // namespace
}  // namespace nodmark::testing

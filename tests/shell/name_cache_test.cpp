// The member-name cache, built from the interface's real type information as the
// shipped DLL carries it.
#include "shell/name_cache.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include "platform/win32/com_ptr.h"
#include "shell/client_helpers.h"
#include "shell/failing_new.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

class NameCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(NodmarkDllPath().c_str(), REGKIND_NONE, library.put()), S_OK);
    ASSERT_EQ(library->GetTypeInfoOfGuid(GuidFromText(kIidText), info.put()), S_OK);
  }

  platform::ComPtr<ITypeInfo> info;
};

TEST_F(NameCacheTest, HoldsEveryFunctionOfTheTypeInformationInItsOrder) {
  const shell::NameCache cache = shell::NameCache::Build(info.get());
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  const UINT functions = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  ASSERT_EQ(cache.size(), functions);
  ASSERT_GE(functions, 3u);
  // The interface's own members come last, after what it inherits.
  const struct {
    const wchar_t* name;
    DISPID dispid;
  } expected[] = {{L"nodmark_old", 1}, {L"nodmark_new", 2}, {L"nodmark_complicate", 3}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const shell::NameCacheEntry& row = cache.row(functions - 3 + i);
    ASSERT_TRUE(row.name) << i;
    EXPECT_EQ(std::wstring(row.name.get()), expected[i].name) << i;
    EXPECT_EQ(row.length, std::wcslen(expected[i].name)) << i;
    EXPECT_EQ(row.dispid, expected[i].dispid) << i;
  }
}

TEST_F(NameCacheTest, FindsExactSpellingsOnly) {
  const shell::NameCache cache = shell::NameCache::Build(info.get());
  const struct {
    const wchar_t* name;
    bool found;
    DISPID dispid;
  } cases[] = {
      {L"nodmark_old", true, 1},
      {L"nodmark_new", true, 2},
      {L"nodmark_complicate", true, 3},
      {L"NODMARK_OLD", false, kJunkDispid},
      {L"Nodmark_New", false, kJunkDispid},
      {L"nodmark_ol", false, kJunkDispid},
      {L"nodmark_old ", false, kJunkDispid},
      {L"", false, kJunkDispid},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    DISPID dispid = kJunkDispid;
    EXPECT_EQ(cache.Find(cases[i].name, &dispid), cases[i].found) << "case " << i;
    EXPECT_EQ(dispid, cases[i].dispid) << "case " << i;
  }
}

TEST_F(NameCacheTest, WithoutMemoryForTheRowsTheCacheIsEmptyAndNothingLeaks) {
  const long liveBefore = LiveAllocationsOfThisThread();
  {
    const AllocationFault fault(/*failAt=*/0);
    const shell::NameCache cache = shell::NameCache::Build(info.get());
    EXPECT_TRUE(fault.failed());
    EXPECT_EQ(cache.size(), 0u);
    DISPID dispid = kJunkDispid;
    EXPECT_FALSE(cache.Find(L"nodmark_old", &dispid));
    EXPECT_EQ(dispid, kJunkDispid);
  }
  EXPECT_EQ(LiveAllocationsOfThisThread(), liveBefore);
}

TEST(NameCache, EmptyCacheFindsNothing) {
  const shell::NameCache cache;
  DISPID dispid = kJunkDispid;
  EXPECT_FALSE(cache.Find(L"nodmark_old", &dispid));
  EXPECT_EQ(dispid, kJunkDispid);
}

}  // namespace
}  // namespace nodmark::testing

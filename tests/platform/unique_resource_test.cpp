#include "platform/win32/unique_resource.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/os_handles.h"
#include "platform/win32/scoped_bstr.h"

namespace nodmark::platform {
namespace {

std::vector<int*> freed;

void RecordFree(int* handle) { freed.push_back(handle); }

using TestResource = UniqueResource<int*, &RecordFree>;

class UniqueResourceTest : public ::testing::Test {
 protected:
  void SetUp() override { freed.clear(); }
  int first = 1;
  int second = 2;
};

TEST_F(UniqueResourceTest, FreesWhatItHoldsOnceWhenItGoes) {
  { const TestResource owner(&first); }
  EXPECT_EQ(freed, std::vector<int*>{&first});
  { const TestResource empty; }
  EXPECT_EQ(freed.size(), 1u) << "an empty owner frees nothing";
}

TEST_F(UniqueResourceTest, ReleaseHandsOverWithoutFreeing) {
  TestResource owner(&first);
  EXPECT_EQ(owner.release(), &first);
  EXPECT_FALSE(owner);
  EXPECT_EQ(owner.get(), nullptr);
  EXPECT_TRUE(freed.empty());
}

TEST_F(UniqueResourceTest, ResetFreesTheOldHandleAndKeepsTheNew) {
  TestResource owner(&first);
  owner.reset(&second);
  EXPECT_EQ(freed, std::vector<int*>{&first});
  EXPECT_EQ(owner.get(), &second);
  owner.reset();
  EXPECT_EQ(freed, (std::vector<int*>{&first, &second}));
  EXPECT_FALSE(owner);
}

TEST_F(UniqueResourceTest, MovingTransfersOwnershipAndFreesTheTargetsOld) {
  TestResource source(&first);
  TestResource target(std::move(source));
  EXPECT_FALSE(source);
  EXPECT_EQ(target.get(), &first);

  TestResource other(&second);
  other = std::move(target);
  EXPECT_EQ(freed, std::vector<int*>{&second});
  EXPECT_EQ(other.get(), &first);
  EXPECT_FALSE(target);
}

TEST_F(UniqueResourceTest, PutGivesTheAddressAnOutParameterFills) {
  TestResource owner;
  *owner.put() = &first;
  EXPECT_EQ(owner.get(), &first);
  EXPECT_TRUE(freed.empty());
}

// A COM object that counts the calls reaching it.
class CountingObject final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
  STDMETHODIMP_(ULONG) Release() override { return --count; }
  ULONG count = 1;
};

TEST(ComPtr, ReleasesItsReferenceAndAsAddsOne) {
  CountingObject object;
  {
    ComPtr<IUnknown> reference(&object);
    ComPtr<IUnknown> another;
    EXPECT_EQ(reference.As(IID_IUnknown, another), S_OK);
    EXPECT_EQ(object.count, 2u);
    ComPtr<IDispatch> missing;
    EXPECT_EQ(reference.As(IID_IDispatch, missing), E_NOINTERFACE);
    EXPECT_FALSE(missing);
  }
  EXPECT_EQ(object.count, 0u);
}

TEST(OsOwners, HoldWhatTheSystemHandsOut) {
  ScopedBstr text(SysAllocString(L"nodmark"));
  ASSERT_TRUE(text);
  EXPECT_EQ(SysStringLen(text.get()), 7u);

  CoTaskMemText iidText;
  ASSERT_EQ(StringFromIID(IID_IUnknown, iidText.put()), S_OK);
  EXPECT_STREQ(iidText.get(), L"{00000000-0000-0000-C000-000000000046}");

  UniqueModule module(LoadLibraryW(L"oleaut32.dll"));
  EXPECT_TRUE(module);

  UniqueHkey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  EXPECT_TRUE(key);
}

}  // namespace
}  // namespace nodmark::platform

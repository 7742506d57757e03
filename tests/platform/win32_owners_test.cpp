#include <gtest/gtest.h>

#include "platform/win32/com_ptr.h"
#include "platform/win32/os_handles.h"
#include "platform/win32/scoped_bstr.h"

namespace nodmark::platform {
namespace {

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

  UniqueRegistryKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, key.put()), ERROR_SUCCESS);
  EXPECT_TRUE(key);
}

}  // namespace
}  // namespace nodmark::platform

#include "shell/nodmark_dll.h"

#include <objbase.h>

#include "shell/client_helpers.h"

namespace nodmark::testing {
namespace {

constexpr DWORD kPathCapacity = MAX_PATH;

// GetProcAddress answers a generic function pointer; the export's real type is known.
template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::wstring NodmarkDllPath() {
  wchar_t path[kPathCapacity] = {};
  const DWORD length = GetModuleFileNameW(/*module=*/nullptr, path, kPathCapacity);
  std::wstring directory(path, length);
  directory.erase(directory.find_last_of(L'\\') + 1);
  return directory + L"nodmark.dll";
}

bool CopyNodmarkDll(const std::wstring& path) {
  return CopyFileW(NodmarkDllPath().c_str(), path.c_str(), /*failIfExists=*/FALSE) != FALSE;
}

NodmarkDll::NodmarkDll() : NodmarkDll(NodmarkDllPath()) {}

NodmarkDll::NodmarkDll(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
  if (!module_) return;
  getClassObject_ = Export<GetClassObjectFunction>(module_.get(), "DllGetClassObject");
  canUnloadNow_ = Export<CanUnloadNowFunction>(module_.get(), "DllCanUnloadNow");
  registerServer_ = Export<RegistrationFunction>(module_.get(), "DllRegisterServer");
  unregisterServer_ = Export<RegistrationFunction>(module_.get(), "DllUnregisterServer");
}

bool NodmarkDll::loaded() const {
  return module_ && getClassObject_ != nullptr && canUnloadNow_ != nullptr;
}

HRESULT NodmarkDll::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const {
  return getClassObject_(clsid, iid, ppv);
}

HRESULT NodmarkDll::CanUnloadNow() const { return canUnloadNow_(); }

HRESULT NodmarkDll::RegisterServer() const {
  return registerServer_ != nullptr ? registerServer_() : E_NOTIMPL;
}

HRESULT NodmarkDll::UnregisterServer() const {
  return unregisterServer_ != nullptr ? unregisterServer_() : E_NOTIMPL;
}

void DllClientTest::SetUp() {
  clsid = GuidFromText(kClsidText);
  iid = GuidFromText(kIidText);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  comInitialised_ = true;
  dll = std::make_unique<NodmarkDll>();
  ASSERT_TRUE(dll->loaded()) << "nodmark.dll beside the test program, error " << GetLastError();
  ASSERT_EQ(dll->CanUnloadNow(), S_OK) << "no lock left by an earlier test or client";
}

void DllClientTest::TearDown() {
  if (dll && dll->loaded()) {
    EXPECT_EQ(dll->CanUnloadNow(), S_OK) << "the test left the module locked";
  }
  dll.reset();
  if (comInitialised_) CoUninitialize();
}

platform::ComPtr<IClassFactory> DllClientTest::Factory() {
  platform::ComPtr<IClassFactory> factory;
  EXPECT_EQ(dll->GetClassObject(clsid, IID_IClassFactory, factory.put_void()), S_OK);
  return factory;
}

}  // namespace nodmark::testing

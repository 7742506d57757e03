#ifndef NODMARK_TESTS_SHELL_NODMARK_DLL_H_
#define NODMARK_TESTS_SHELL_NODMARK_DLL_H_

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/com_ptr.h"
#include "platform/win32/os_handles.h"

namespace nodmark::testing {

// Full path of the nodmark.dll copied beside the test program by the build.
std::wstring NodmarkDllPath();

// Copies nodmark.dll to `path` for a test that needs a module of its own (one whose
// process-wide state no other client in this process can have touched, or one at a
// particular place). A copy left by an earlier run is overwritten. False when the copy
// fails.
bool CopyNodmarkDll(const std::wstring& path);

// The shipped nodmark.dll, loaded with LoadLibrary and reached through its exports as
// the COM runtime reaches it. Freed (FreeLibrary) when the object goes.
class NodmarkDll {
 public:
  NodmarkDll();
  // The DLL at `path` instead of the one beside the test program.
  explicit NodmarkDll(const std::wstring& path);

  bool loaded() const;
  HMODULE handle() const { return module_.get(); }

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;
  HRESULT CanUnloadNow() const;
  // Its self-registration exports; E_NOTIMPL from the test itself when one is missing.
  HRESULT RegisterServer() const;
  HRESULT UnregisterServer() const;

 private:
  using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFunction = HRESULT(WINAPI*)();
  using RegistrationFunction = HRESULT(WINAPI*)();

  platform::UniqueModule module_;
  GetClassObjectFunction getClassObject_ = nullptr;
  CanUnloadNowFunction canUnloadNow_ = nullptr;
  RegistrationFunction registerServer_ = nullptr;
  RegistrationFunction unregisterServer_ = nullptr;
};

// A client of the DLL: COM initialised on the test's thread, the DLL loaded fresh for
// every test (the fixture holds the process's only reference, so the free at the end of
// each test unmaps it), and every test expected to leave the module unlocked.
class DllClientTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The class factory of GerneralNodmark, asked for IClassFactory.
  platform::ComPtr<IClassFactory> Factory();

  GUID clsid{};
  GUID iid{};
  std::unique_ptr<NodmarkDll> dll;

 private:
  bool comInitialised_ = false;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_NODMARK_DLL_H_

#ifndef NODMARK_TESTS_SHELL_IN_PROCESS_FIXTURE_H_
#define NODMARK_TESTS_SHELL_IN_PROCESS_FIXTURE_H_

#include <windows.h>

#include <gtest/gtest.h>

#include "fake/fake_automation_alloc.h"
#include "fake/fake_sources.h"
#include "platform/win32/com_ptr.h"
#include "shell/guids.h"
#include "shell/module_state.h"

namespace nodmark::testing {

// The shell's objects linked into this program, over scripted identifier sources and a
// scripted string allocator. Each test runs between its own module attach and detach,
// as the DLL would between LoadLibrary and FreeLibrary.
class InProcessShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::ResetSources();
    alloc = &fake::ResetAutomationAlloc();
    shell::AttachModule(GetModuleHandleW(nullptr));
  }
  void TearDown() override { shell::DetachModule(); }

  // The class factory, asked for as a client asks the DLL.
  platform::ComPtr<IClassFactory> Factory() {
    platform::ComPtr<IClassFactory> factory;
    EXPECT_EQ(
        DllGetClassObject(shell::kClsidGerneralNodmark, IID_IClassFactory, factory.put_void()),
        S_OK);
    return factory;
  }

  fake::AutomationAllocScript* alloc = nullptr;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_IN_PROCESS_FIXTURE_H_

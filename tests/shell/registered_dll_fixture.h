#ifndef NODMARK_TESTS_SHELL_REGISTERED_DLL_FIXTURE_H_
#define NODMARK_TESTS_SHELL_REGISTERED_DLL_FIXTURE_H_

#include <memory>

#include "shell/classes_root.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {

// A client of the shipped DLL that registers it in the Wine prefix's HKEY_CLASSES_ROOT.
// Each test starts with nothing of the component registered and ends with the five
// trees put back as it found them (the program holds the "registration" lock).
class RegisteredDllTest : public DllClientTest {
 protected:
  void SetUp() override {
    snapshot_ = std::make_unique<ClassesRootSnapshot>(ComponentTrees());
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(dll->UnregisterServer(), S_OK);
  }
  void TearDown() override {
    DllClientTest::TearDown();
    snapshot_.reset();
  }

 private:
  std::unique_ptr<ClassesRootSnapshot> snapshot_;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_REGISTERED_DLL_FIXTURE_H_

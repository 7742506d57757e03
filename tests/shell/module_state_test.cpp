// Module attach and detach as the DLL entry point drives them, observed from inside:
// the shipped DLL has no way to show its shutdown list, so this program calls the
// module's attach and detach itself.
#include "shell/module_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/failing_new.h"
#include "shell/in_process_fixture.h"

namespace nodmark::testing {
namespace {

using ModuleStateTest = InProcessShellTest;

struct CallbackRecord {
  std::vector<int>* order;
  int id;
};

void Record(void* argument) {
  const auto* record = static_cast<CallbackRecord*>(argument);
  record->order->push_back(record->id);
}

TEST_F(ModuleStateTest, AttachRecordsTheInstanceHandleAndStartsUnlocked) {
  EXPECT_EQ(shell::ModuleInstance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(shell::ModuleLockCount(), 0);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ModuleStateTest, ShutdownCallbacksRunNewestFirstOnceAtDetach) {
  std::vector<int> order;
  CallbackRecord records[] = {{&order, 1}, {&order, 2}, {&order, 3}};
  for (CallbackRecord& record : records) {
    ASSERT_EQ(shell::AddShutdownCallback(&Record, &record), S_OK);
  }
  EXPECT_TRUE(order.empty()) << "nothing runs before detach";

  shell::DetachModule();
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));

  shell::DetachModule();
  EXPECT_EQ(order.size(), 3u) << "the list is empty after detach";
}

TEST_F(ModuleStateTest, ShutdownCallbackWithoutMemoryIsNotAdded) {
  std::vector<int> order;
  CallbackRecord record{&order, 7};
  {
    AllocationFault fault(/*failAt=*/0);
    EXPECT_EQ(shell::AddShutdownCallback(&Record, &record), E_OUTOFMEMORY);
  }
  shell::DetachModule();
  EXPECT_TRUE(order.empty());
}

TEST_F(ModuleStateTest, LockCountFollowsLockAndUnlockAndGoesBelowZero) {
  shell::LockModule();
  shell::LockModule();
  EXPECT_EQ(shell::ModuleLockCount(), 2);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  shell::UnlockModule();
  shell::UnlockModule();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  shell::UnlockModule();
  EXPECT_EQ(shell::ModuleLockCount(), -1);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  shell::LockModule();
}

TEST_F(ModuleStateTest, ReattachStartsFromZeroWhateverDetachLeft) {
  shell::LockModule();
  shell::DetachModule();
  shell::AttachModule(GetModuleHandleW(nullptr));
  EXPECT_EQ(shell::ModuleLockCount(), 0);
}

TEST_F(ModuleStateTest, DetachReleasesTheCachedFactory) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(shell::ModuleLockCount(), 1) << "the client's reference locks the module";

  shell::DetachModule();
  EXPECT_EQ(shell::ModuleLockCount(), 0) << "only the client's reference is left";
  EXPECT_EQ(factory.release()->Release(), 0u) << "the class table gave its reference up";
  shell::AttachModule(GetModuleHandleW(nullptr));
}

}  // namespace
}  // namespace nodmark::testing

// The machine-wide lock on Windows, a named mutex, under Wine in the build's own
// prefix. Threads of this program stand for other processes: a mutex belongs to a
// thread, so another thread of one process is kept out as another process is. The
// program holds the "store_file" lock, so no other test's instance waits on the
// mutex meanwhile.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <iterator>
#include <thread>

#include "platform/machine_lock.h"
#include "platform/win32/os_handles.h"

namespace nodmark::platform {
namespace {

// The name, written independently of the layer's own constant.
constexpr wchar_t kMutexName[] = L"Global\\nodmark-store-file";
constexpr std::uint32_t kNoWait = 0;
constexpr std::uint32_t kShortWait = 50;

MachineLockState StateOnAnotherThread(std::uint32_t timeoutMilliseconds) {
  MachineLockState state = MachineLockState::kUnavailable;
  std::thread([&] { state = TakeMachineLock("", timeoutMilliseconds).state; }).join();
  return state;
}

TEST(Win32MachineLock, HeldByOneCallerUntilReleased) {
  MachineLock lock = TakeMachineLock("", kNoWait);
  EXPECT_EQ(lock.state, MachineLockState::kTaken);
  EXPECT_TRUE(lock.held());
  EXPECT_EQ(StateOnAnotherThread(kShortWait), MachineLockState::kTimedOut);
  lock.owner.reset();
  EXPECT_EQ(StateOnAnotherThread(kNoWait), MachineLockState::kTaken);
}

// Whoever makes the mutex first gives it its rights: everyone may wait on it and
// release it, and the DACL grants nothing more to anyone. Read from the DACL itself:
// Wine 8 grants the owner DELETE and WRITE_DAC besides what the DACL says, so asking for
// every right succeeds here where Windows refuses it.
TEST(Win32MachineLock, EveryoneMayWaitOnTheMutexAndReleaseItAndNoMore) {
  const MachineLock lock = TakeMachineLock("", kNoWait);
  ASSERT_TRUE(lock.held());
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(
      GetSecurityInfo(reinterpret_cast<HANDLE>(lock.owner.get()), SE_KERNEL_OBJECT,
                      DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &descriptor),
      static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(dacl, nullptr);
  EXPECT_EQ(dacl->AceCount, 1);
  void* ace = nullptr;
  ASSERT_TRUE(GetAce(dacl, 0, &ace));
  const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
  EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
  EXPECT_EQ(allowed->Mask, static_cast<ACCESS_MASK>(SYNCHRONIZE | MUTEX_MODIFY_STATE));
  BYTE everyone[SECURITY_MAX_SID_SIZE];
  DWORD everyoneSize = sizeof everyone;
  ASSERT_TRUE(CreateWellKnownSid(WinWorldSid, nullptr, everyone, &everyoneSize));
  EXPECT_TRUE(EqualSid(const_cast<DWORD*>(&allowed->SidStart), everyone));
  LocalFree(descriptor);
}

TEST(Win32MachineLock, AbandonedByAnOwnerThatEndedIsTakenOver) {
  // The ended owner's handle stays open, as a waiting process's would, so the mutex
  // lives on abandoned.
  UniqueKernelHandle leftOpen;
  std::thread([&] {
    MachineLock lock = TakeMachineLock("", kNoWait);
    if (lock.held()) leftOpen.reset(reinterpret_cast<HANDLE>(lock.owner.release()));
  }).join();
  ASSERT_TRUE(leftOpen);
  const MachineLock lock = TakeMachineLock("", kNoWait);
  EXPECT_EQ(lock.state, MachineLockState::kTakenOver);
  EXPECT_TRUE(lock.held());
}

// The name taken first by an object of another kind, or by a mutex that grants no
// right to anyone (an empty DACL): the caller goes on at once, without the lock.
TEST(Win32MachineLock, NameThatCannotBeUsedLeavesTheLockUnavailable) {
  PSECURITY_DESCRIPTOR noRights = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1,
                                                                   &noRights, nullptr));
  SECURITY_ATTRIBUTES security{sizeof security, noRights, /*bInheritHandle=*/FALSE};
  HANDLE(*const squatters[])
  (SECURITY_ATTRIBUTES*) = {
      [](SECURITY_ATTRIBUTES*) { return CreateEventW(nullptr, TRUE, FALSE, kMutexName); },
      [](SECURITY_ATTRIBUTES* rights) { return CreateMutexW(rights, FALSE, kMutexName); },
  };
  for (std::size_t i = 0; i < std::size(squatters); ++i) {
    const UniqueKernelHandle squatter(squatters[i](&security));
    ASSERT_TRUE(squatter) << "squatter " << i;
    const MachineLock lock = TakeMachineLock("", kShortWait);
    EXPECT_EQ(lock.state, MachineLockState::kUnavailable) << "squatter " << i;
    EXPECT_FALSE(lock.held());
  }
  LocalFree(noRights);
}

}  // namespace
}  // namespace nodmark::platform

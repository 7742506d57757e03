#include "platform/machine_lock.h"

#include <windows.h>

#include <sddl.h>

#include "platform/scoped_owner.h"
#include "platform/win32/os_handles.h"

namespace nodmark::platform {
namespace {

// One name for both architectures. "Global\" puts the mutex in the namespace of the
// whole machine rather than of the caller's session, so a service in session 0 and the
// programs of every logged-on user meet on it.
constexpr wchar_t kMutexName[] = L"Global\\nodmark-store-file";

// Who may use the mutex, whoever creates it first: everyone (WD) may wait on it and
// release it (SYNCHRONIZE 0x00100000 | MUTEX_MODIFY_STATE 0x0001), and no one is
// granted more, so no user can change its rights and lock the others out. Both rights
// are of the kinds (execute, read) that a low-integrity process keeps on an object of
// medium integrity, so sandboxed hosts can use it too.
constexpr wchar_t kMutexSecurity[] = L"D:(A;;0x00100001;;;WD)";
constexpr DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;
constexpr DWORD kSddlRevision = SDDL_REVISION_1;
// Opening can lose a race with the last holder closing the mutex; then it starts over.
constexpr int kOpenAttempts = 3;

void FreeLocal(PSECURITY_DESCRIPTOR descriptor) noexcept { LocalFree(descriptor); }
using UniqueSecurityDescriptor = UniqueOwner<PSECURITY_DESCRIPTOR, FreeLocal>;

// The mutex, created with `security` or opened; null when the caller may not use it
// (a restricted token) or the name belongs to an object of another type.
// CreateMutexExW would ask for just the two rights in one call, but it is newer than
// anything else the 32-bit DLL imports. CreateMutexW asks for every right on a mutex
// that exists already, which the mutex's rights refuse, so such a mutex is opened with
// the two rights it grants.
UniqueKernelHandle CreateOrOpenMutex(SECURITY_ATTRIBUTES& security) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    UniqueKernelHandle mutex(CreateMutexW(&security, /*initialOwner=*/FALSE, kMutexName));
    if (mutex || GetLastError() != ERROR_ACCESS_DENIED) return mutex;
    mutex.reset(OpenMutexW(kMutexAccess, /*inherit=*/FALSE, kMutexName));
    if (mutex || GetLastError() != ERROR_FILE_NOT_FOUND) return mutex;
  }
  return {};
}

MachineLockTraits::Handle ToHandle(HANDLE mutex) {
  return reinterpret_cast<MachineLockTraits::Handle>(mutex);
}

}  // namespace

void MachineLockTraits::Free(const Handle& handle) noexcept {
  const HANDLE mutex = reinterpret_cast<HANDLE>(handle);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

MachineLock TakeMachineLock(const std::string& /*storeDirectory*/,
                            std::uint32_t timeoutMilliseconds) {
  UniqueSecurityDescriptor descriptor;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kMutexSecurity, kSddlRevision,
                                                            descriptor.put(), /*size=*/nullptr)) {
    return {};
  }
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), /*bInheritHandle=*/FALSE};
  UniqueKernelHandle mutex = CreateOrOpenMutex(security);
  if (!mutex) return {};

  MachineLock lock;
  switch (WaitForSingleObject(mutex.get(), timeoutMilliseconds)) {
    case WAIT_OBJECT_0:
      lock.state = MachineLockState::kTaken;
      break;
    case WAIT_ABANDONED:
      // Its holder ended holding it, perhaps between a read and a write of the store
      // file: the mutex is ours now, and the caller reads the file again.
      lock.state = MachineLockState::kTakenOver;
      break;
    case WAIT_TIMEOUT:
      lock.state = MachineLockState::kTimedOut;
      return lock;
    default:
      return lock;
  }
  lock.owner.reset(ToHandle(mutex.release()));
  return lock;
}

}  // namespace nodmark::platform

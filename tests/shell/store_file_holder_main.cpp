// store_file_holder PATH READY_EVENT RELEASE_EVENT
//
// Another process holding a file open with no sharing at all, as an editor, a backup tool
// or a virus scanner may: opens PATH for reading and writing with share mode 0, so that
// no process can open it meanwhile, sets the named event READY_EVENT, and keeps the file
// open until the named event RELEASE_EVENT is set (or kMaxHoldMilliseconds pass).
// Exit code 0 when it held the file and was released; otherwise one of kExit* below.
#include <windows.h>

#include "platform/scoped_owner.h"
#include "platform/win32/os_handles.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitOpenFailed = 3;
constexpr int kExitNoEvents = 4;
constexpr int kExitNeverReleased = 5;
constexpr DWORD kMaxHoldMilliseconds = 120000;
constexpr DWORD kNoSharing = 0;

// A file handle, whose "none" is INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(const Handle& handle) noexcept { return handle != INVALID_HANDLE_VALUE; }
  static void Free(const Handle& handle) noexcept { CloseHandle(handle); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using nodmark::platform::UniqueKernelHandle;
  if (argc != 4) return kExitUsage;
  const nodmark::platform::ScopedOwner<FileHandleTraits> file(
      CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, kNoSharing, /*security=*/nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*templateFile=*/nullptr));
  if (!file) return kExitOpenFailed;
  const UniqueKernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
  const UniqueKernelHandle release(OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
  if (!ready || !release || !SetEvent(ready.get())) return kExitNoEvents;
  if (WaitForSingleObject(release.get(), kMaxHoldMilliseconds) != WAIT_OBJECT_0) {
    return kExitNeverReleased;
  }
  return 0;
}

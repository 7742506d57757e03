// store_race_client READY_FILE START_FILE
//
// One of several hosts that create the registered component at the same moment, as
// programs started together at the first logon do. Loads the class factory (the DLL
// computes nothing at load), creates READY_FILE, waits until START_FILE exists, then
// creates an instance and prints its nodmark_new. The caller starts the clients, waits
// for every READY_FILE and then creates START_FILE, so the instances are built within
// milliseconds of each other rather than as far apart as Wine's process starts.
// Exit code 0 when it printed the identifier; otherwise one of kExit* below.
#include <windows.h>

#include <initguid.h>  // this file defines the GUIDs nodmark.h declares

#include <objbase.h>

#include <cstdio>

#include "platform/win32/com_ptr.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/nodmark.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoFactory = 3;
constexpr int kExitNoReadyFile = 4;
constexpr int kExitNeverStarted = 5;
constexpr int kExitNoIdentifier = 6;
constexpr DWORD kMaxWaitMilliseconds = 60000;
constexpr DWORD kPollMilliseconds = 1;

bool CreateEmptyFile(const wchar_t* path) {
  const HANDLE file = CreateFileW(path, GENERIC_WRITE, /*shareMode=*/0, /*security=*/nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, /*templateFile=*/nullptr);
  return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

bool WaitForFile(const wchar_t* path) {
  const DWORD start = GetTickCount();
  while (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > kMaxWaitMilliseconds) return false;
    Sleep(kPollMilliseconds);
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using nodmark::platform::ComPtr;
  if (argc != 3) return kExitUsage;
  if (FAILED(CoInitialize(nullptr))) return kExitNoFactory;
  ComPtr<IClassFactory> factory;
  if (FAILED(CoGetClassObject(CLSID_GerneralNodmark, CLSCTX_INPROC_SERVER, /*serverInfo=*/nullptr,
                              IID_IClassFactory, factory.put_void()))) {
    return kExitNoFactory;
  }
  if (!CreateEmptyFile(argv[1])) return kExitNoReadyFile;
  if (!WaitForFile(argv[2])) return kExitNeverStarted;

  ComPtr<IGerneralNodmark> object;
  nodmark::platform::ScopedBstr identifier;
  if (FAILED(factory->CreateInstance(/*outer=*/nullptr, IID_IGerneralNodmark, object.put_void())) ||
      FAILED(object->get_nodmark_new(identifier.put()))) {
    return kExitNoIdentifier;
  }
  // The identifier is ASCII.
  std::printf("%ls\n", identifier.get());
  return 0;
}

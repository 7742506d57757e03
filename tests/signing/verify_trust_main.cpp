// Prints, for each file named on the command line, what WinVerifyTrust answers for its
// Authenticode signature, as eight hex digits on a line of its own: the generic
// verification action, no user interface, no revocation check.
#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

namespace {

LONG VerifySignature(const wchar_t* path) {
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = path;
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  // INVALID_HANDLE_VALUE: no interactive user to ask.
  const auto noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
  const LONG result = WinVerifyTrust(noWindow, &action, &data);
  // The verification keeps state until it is closed, whatever it answered.
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(noWindow, &action, &data);
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: verify_trust FILE...\n", stderr);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::printf("%08lX\n", static_cast<unsigned long>(VerifySignature(argv[i])));
  }
  return 0;
}

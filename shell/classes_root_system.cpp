#include "shell/classes_root_system.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cstring>

#include "platform/win32/architecture.h"
#include "platform/win32/os_handles.h"
#include "shell/com_error.h"

namespace nodmark::shell {
namespace {

// Source length that makes the conversion stop at, and count, the terminating zero.
constexpr int kUpToTerminator = -1;

// The size of the path buffers that read InprocServer32 and the type library's
// win32 entry: a longer path would be cut short by them.
constexpr DWORD kModulePathCapacity = MAX_PATH;

}  // namespace

HRESULT ClassesRootSystem::GuidText(REFGUID guid, std::string* text) noexcept {
  try {
    platform::CoTaskMemText wide;
    const HRESULT hr = StringFromIID(guid, wide.put());
    if (FAILED(hr)) return hr;
    if (!wide) return E_UNEXPECTED;
    // Length with the terminator, then the conversion itself.
    const int bytes = WideCharToMultiByte(CP_ACP, /*flags=*/0, wide.get(), kUpToTerminator,
                                          /*narrow=*/nullptr, /*narrowCapacity=*/0,
                                          /*defaultChar=*/nullptr, /*usedDefault=*/nullptr);
    if (bytes <= 0) return ResultFromLastError();
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, /*flags=*/0, wide.get(), kUpToTerminator, narrow.data(), bytes,
                            /*defaultChar=*/nullptr, /*usedDefault=*/nullptr) != bytes) {
      return ResultFromLastError();
    }
    narrow.pop_back();  // the terminator
    *text = std::move(narrow);
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

HRESULT ClassesRootSystem::ModulePath(std::string* path) noexcept {
  try {
    char buffer[kModulePathCapacity] = {};
    const DWORD length = GetModuleFileNameA(module_, buffer, kModulePathCapacity);
    if (length == 0) return ResultFromLastError();
    // A path that fills the whole buffer was cut short (older systems do not even
    // terminate it). It would name a file that does not exist.
    if (length >= kModulePathCapacity) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    *path = std::string(buffer, length);
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

bool ClassesRootSystem::IsLeadByte(unsigned char byte) noexcept {
  return IsDBCSLeadByte(byte) != FALSE;
}

void ClassesRootSystem::DeleteTree(const std::string& key) noexcept {
  // Absent is as good as deleted; any other failure shows when the key is written.
  static_cast<void>(SHDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str()));
}

bool ClassesRootSystem::OtherArchitectureHasKey(const std::string& key) noexcept {
  platform::UniqueRegistryKey opened;
  return RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), /*options=*/0,
                       KEY_QUERY_VALUE | platform::win32::kOtherRegistryView,
                       opened.put()) == ERROR_SUCCESS;
}

bool ClassesRootSystem::ReadOtherArchitectureText(const std::string& key,
                                                  std::string* text) noexcept {
  try {
    platform::UniqueRegistryKey opened;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), /*options=*/0,
                      KEY_QUERY_VALUE | platform::win32::kOtherRegistryView,
                      opened.put()) != ERROR_SUCCESS) {
      return false;
    }
    char buffer[kModulePathCapacity] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer - 1;  // room left for a terminator the value may lack
    if (RegQueryValueExA(opened.get(), /*valueName=*/nullptr, /*reserved=*/nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    *text = buffer;  // up to the first zero byte
    return true;
  } catch (...) {
    return false;
  }
}

KeyWrite ClassesRootSystem::WriteKey(const std::string& key, const char* valueName,
                                     const char* valueText) noexcept {
  platform::UniqueRegistryKey opened;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), /*reserved=*/0, /*keyClass=*/nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_WRITE, /*security=*/nullptr, opened.put(),
                      /*disposition=*/nullptr) != ERROR_SUCCESS) {
    return KeyWrite::kKeyRefused;
  }
  if (valueText == nullptr) return KeyWrite::kWritten;
  const auto size = static_cast<DWORD>(std::strlen(valueText) + 1);  // with the terminator
  return RegSetValueExA(opened.get(), valueName, /*reserved=*/0, REG_SZ,
                        reinterpret_cast<const BYTE*>(valueText), size) == ERROR_SUCCESS
             ? KeyWrite::kWritten
             : KeyWrite::kValueRefused;
}

}  // namespace nodmark::shell

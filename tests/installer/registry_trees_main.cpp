// registry_trees KEY...
//
// Prints each named key of HKEY_LOCAL_MACHINE that exists, with every key below it, for
// the installer test to compare before and after each step: "[HKEY_LOCAL_MACHINE\KEY]"
// and then the key's values, one a line in name order; subkeys in name order after
// their parent. Keys are read as named, without registry redirection, so a 64-bit
// process reads the 32-bit view's copies under Wow6432Node where they lie. It reads only
// the trees it is given, where an export of the whole classes key walks thousands of keys
// (seconds under an emulator). Exit code 0, or 1 when a key that exists cannot be read.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/hex_text.h"
#include "platform/win32/os_handles.h"

namespace {

using nodmark::platform::UniqueRegistryKey;

// Registry names are at most 255 characters; value data is sized by the query.
constexpr DWORD kMaxNameLength = 256;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// The text of a REG_SZ or REG_EXPAND_SZ value, up to its first terminator.
std::wstring StringData(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
            reinterpret_cast<BYTE*>(text.data()));
  return text.substr(0, text.find(L'\0'));
}

// `"name"=data` as a .reg file writes it, "@" for the default value; data other than
// strings as hex(type): and its bytes.
std::string ValueLine(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
  std::string line = name.empty() ? "@=" : "\"" + Utf8(name) + "\"=";
  if (type == REG_SZ) return line + "\"" + Utf8(StringData(data)) + "\"";
  if (type == REG_EXPAND_SZ) return line + "expand:\"" + Utf8(StringData(data)) + "\"";
  line += "hex(" + std::to_string(type) + "):";
  nodmark::core::AppendHexBytes(line, data.data(), data.size());
  return line;
}

// Opens the key at `path` below HKLM as named, without redirection.
LONG OpenKey(const std::wstring& path, UniqueRegistryKey& key) {
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put());
}

// Prints the open key at `path` and everything under it; false when any of it could not
// be read.
bool PrintTree(const std::wstring& path, HKEY key) {
  std::printf("[HKEY_LOCAL_MACHINE\\%s]\n", Utf8(path).c_str());

  std::vector<std::pair<std::wstring, std::string>> values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[kMaxNameLength];
    DWORD nameLength = kMaxNameLength;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return false;
    std::vector<BYTE> data(size);
    nameLength = kMaxNameLength;
    status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size);
    if (status != ERROR_SUCCESS) return false;
    data.resize(size);
    values.emplace_back(name, ValueLine(name, type, data));
  }
  std::sort(values.begin(), values.end());
  for (const auto& value : values) std::printf("%s\n", value.second.c_str());

  std::vector<std::wstring> subkeys;
  for (DWORD index = 0;; ++index) {
    wchar_t name[kMaxNameLength];
    DWORD nameLength = kMaxNameLength;
    const LONG status =
        RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return false;
    subkeys.emplace_back(name, nameLength);
  }
  std::sort(subkeys.begin(), subkeys.end());
  bool whole = true;
  for (const std::wstring& name : subkeys) {
    const std::wstring subpath = path + L"\\" + name;
    UniqueRegistryKey subkey;
    whole = OpenKey(subpath, subkey) == ERROR_SUCCESS && PrintTree(subpath, subkey.get()) && whole;
  }
  return whole;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool whole = true;
  for (int i = 1; i < argc; ++i) {
    UniqueRegistryKey key;
    const LONG status = OpenKey(argv[i], key);
    if (status == ERROR_FILE_NOT_FOUND) continue;
    whole = status == ERROR_SUCCESS && PrintTree(argv[i], key.get()) && whole;
  }
  return whole ? 0 : 1;
}

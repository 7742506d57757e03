#include "shell/classes_root.h"

#include <shlwapi.h>

#include "platform/win32/os_handles.h"
#include "shell/client_helpers.h"

namespace nodmark::testing {
namespace {

platform::UniqueRegistryKey OpenForReading(const std::string& key) {
  platform::UniqueRegistryKey opened;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) {
    opened.reset();
  }
  return opened;
}

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; *text != L'\0'; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

// Appends `path` and every key below it to `keys`, parents first.
void Capture(const std::string& path, std::vector<RegistryKeyImage>* keys) {
  platform::UniqueRegistryKey key = OpenForReading(path);
  if (!key) return;
  DWORD subkeyCount = 0, longestSubkey = 0, valueCount = 0, longestName = 0, longestData = 0;
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeyCount, &longestSubkey, nullptr,
                       &valueCount, &longestName, &longestData, nullptr,
                       nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegistryKeyImage image{path, {}};
  for (DWORD index = 0; index < valueCount; ++index) {
    std::string name(longestName + 1, '\0');
    DWORD nameLength = longestName + 1;
    RegistryValue value;
    value.data.resize(longestData);
    DWORD dataLength = longestData;
    if (RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &value.type,
                      value.data.data(), &dataLength) != ERROR_SUCCESS) {
      continue;
    }
    name.resize(nameLength);
    value.data.resize(dataLength);
    image.values.emplace_back(name, value);
  }
  keys->push_back(image);
  for (DWORD index = 0; index < subkeyCount; ++index) {
    std::string name(longestSubkey + 1, '\0');
    DWORD nameLength = longestSubkey + 1;
    if (RegEnumKeyExA(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      continue;
    }
    name.resize(nameLength);
    Capture(path + "\\" + name, keys);
  }
}

}  // namespace

std::optional<RegistryValue> ReadClassesRootValue(const std::string& key, const char* name) {
  platform::UniqueRegistryKey opened = OpenForReading(key);
  if (!opened) return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  if (RegQueryValueExA(opened.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (RegQueryValueExA(opened.get(), name, nullptr, &value.type, value.data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

RegistryValue StringValue(const std::string& text) {
  RegistryValue value{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}

bool ClassesRootKeyExists(const std::string& key) { return static_cast<bool>(OpenForReading(key)); }

int ClassesRootValueCount(const std::string& key) {
  platform::UniqueRegistryKey opened = OpenForReading(key);
  if (!opened) return -1;
  DWORD values = 0;
  if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return -1;
  }
  return static_cast<int>(values);
}

bool WriteClassesRootString(const std::string& key, const char* name, const std::string& text) {
  platform::UniqueRegistryKey created;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      created.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(created.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::vector<std::string> ComponentTrees() {
  return {"Nodmark.GerneralNodmark",        "Nodmark.GerneralNodmark.1",
          "CLSID\\" + Narrow(kClsidText),   "TypeLib\\" + Narrow(kLibidText),
          "Interface\\" + Narrow(kIidText), "Interface\\" + Narrow(kIid2Text)};
}

ClassesRootSnapshot::ClassesRootSnapshot(std::vector<std::string> trees)
    : trees_(std::move(trees)) {
  for (const std::string& tree : trees_) Capture(tree, &keys_);
}

ClassesRootSnapshot::~ClassesRootSnapshot() {
  for (const std::string& tree : trees_) SHDeleteKeyA(HKEY_CLASSES_ROOT, tree.c_str());
  for (const RegistryKeyImage& image : keys_) {
    platform::UniqueRegistryKey created;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, image.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        created.put(), nullptr) != ERROR_SUCCESS) {
      continue;
    }
    for (const auto& [name, value] : image.values) {
      RegSetValueExA(created.get(), name.empty() ? nullptr : name.c_str(), 0, value.type,
                     value.data.data(), static_cast<DWORD>(value.data.size()));
    }
  }
}

}  // namespace nodmark::testing

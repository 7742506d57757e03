#include "shell/recording_registration_system.h"

#include <objbase.h>

#include <cstdlib>
#include <ostream>

#include "shell/client_helpers.h"

namespace nodmark::testing {
namespace {

constexpr int kGuidTextCapacity = 64;

// The registry text of `guid`, as the test's own reference.
std::string TextOf(REFGUID guid) {
  wchar_t wide[kGuidTextCapacity] = {};
  if (StringFromGUID2(guid, wide, kGuidTextCapacity) == 0) std::abort();
  return std::string(wide, wide + std::wcslen(wide));
}

}  // namespace

bool RegistryOperation::operator==(const RegistryOperation& other) const {
  return kind == other.kind && key == other.key && hasValue == other.hasValue &&
         defaultValue == other.defaultValue && valueName == other.valueName &&
         valueText == other.valueText;
}

RegistryOperation RegistryOperation::Delete(const std::string& key) {
  return {kDeleteTree, key, false, true, "", ""};
}

RegistryOperation RegistryOperation::Key(const std::string& key) {
  return {kWriteKey, key, false, true, "", ""};
}

RegistryOperation RegistryOperation::DefaultValue(const std::string& key, const std::string& text) {
  return {kWriteKey, key, true, true, "", text};
}

RegistryOperation RegistryOperation::NamedValue(const std::string& key, const std::string& name,
                                                const std::string& text) {
  return {kWriteKey, key, true, false, name, text};
}

void PrintTo(const RegistryOperation& operation, std::ostream* out) {
  *out << (operation.kind == RegistryOperation::kDeleteTree ? "delete " : "write ") << '"'
       << operation.key << '"';
  if (operation.hasValue) {
    *out << ' ' << (operation.defaultValue ? "(default)" : '"' + operation.valueName + '"')
         << " = \"" << operation.valueText << '"';
  }
}

RecordingRegistrationSystem::RecordingRegistrationSystem() {
  for (const wchar_t* text : {kClsidText, kLibidText, kIidText, kIid2Text}) {
    const std::string narrow = TextOf(GuidFromText(text));
    guidTexts[narrow] = narrow;
  }
}

HRESULT RecordingRegistrationSystem::GuidText(REFGUID guid, std::string* text) noexcept {
  const auto found = guidTexts.find(TextOf(guid));
  if (found == guidTexts.end()) return guidFailure;
  *text = found->second;
  return S_OK;
}

HRESULT RecordingRegistrationSystem::ModulePath(std::string* path) noexcept {
  if (FAILED(modulePathResult)) return modulePathResult;
  *path = modulePath;
  return S_OK;
}

bool RecordingRegistrationSystem::IsLeadByte(unsigned char byte) noexcept {
  return leadBytes.count(byte) != 0;
}

void RecordingRegistrationSystem::DeleteTree(const std::string& key) noexcept {
  operations.push_back(RegistryOperation::Delete(key));
}

bool RecordingRegistrationSystem::OtherArchitectureHasKey(const std::string& key) noexcept {
  return otherArchitectureKeys.count(key) != 0;
}

bool RecordingRegistrationSystem::ReadOtherArchitectureText(const std::string& key,
                                                            std::string* text) noexcept {
  const auto found = otherArchitectureTexts.find(key);
  if (found == otherArchitectureTexts.end()) return false;
  *text = found->second;
  return true;
}

shell::KeyWrite RecordingRegistrationSystem::WriteKey(const std::string& key, const char* valueName,
                                                      const char* valueText) noexcept {
  if (refusedKeys.count(key) != 0) return shell::KeyWrite::kKeyRefused;
  if (valueText != nullptr && refusedValues.count({key, valueName ? valueName : ""}) != 0) {
    operations.push_back(RegistryOperation::Key(key));
    return shell::KeyWrite::kValueRefused;
  }
  if (valueText == nullptr) {
    operations.push_back(RegistryOperation::Key(key));
  } else if (valueName == nullptr) {
    operations.push_back(RegistryOperation::DefaultValue(key, valueText));
  } else {
    operations.push_back(RegistryOperation::NamedValue(key, valueName, valueText));
  }
  return shell::KeyWrite::kWritten;
}

}  // namespace nodmark::testing

#ifndef NODMARK_TESTS_SHELL_RECORDING_REGISTRATION_SYSTEM_H_
#define NODMARK_TESTS_SHELL_RECORDING_REGISTRATION_SYSTEM_H_

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "shell/registration_system.h"

namespace nodmark::testing {

// One call registration made on the system, in the order it came.
struct RegistryOperation {
  enum Kind { kDeleteTree, kWriteKey } kind;
  std::string key;
  bool hasValue = false;
  bool defaultValue = true;
  std::string valueName;
  std::string valueText;

  bool operator==(const RegistryOperation& other) const;

  static RegistryOperation Delete(const std::string& key);
  // A key opened or created without a value written.
  static RegistryOperation Key(const std::string& key);
  static RegistryOperation DefaultValue(const std::string& key, const std::string& text);
  static RegistryOperation NamedValue(const std::string& key, const std::string& name,
                                      const std::string& text);
};

// Prints an operation in failure messages.
void PrintTo(const RegistryOperation& operation, std::ostream* out);

// A RegistrationSystem that records every registry call instead of making it, with
// scripted GUID texts, module path and lead bytes, and keys it refuses to create.
class RecordingRegistrationSystem final : public shell::RegistrationSystem {
 public:
  RecordingRegistrationSystem();

  HRESULT GuidText(REFGUID guid, std::string* text) noexcept override;
  HRESULT ModulePath(std::string* path) noexcept override;
  bool IsLeadByte(unsigned char byte) noexcept override;
  void DeleteTree(const std::string& key) noexcept override;
  bool OtherArchitectureHasKey(const std::string& key) noexcept override;
  bool ReadOtherArchitectureText(const std::string& key, std::string* text) noexcept override;
  shell::KeyWrite WriteKey(const std::string& key, const char* valueName,
                           const char* valueText) noexcept override;

  // Texts by GUID; a GUID missing here answers guidFailure.
  std::map<std::string, std::string> guidTexts;  // keyed by the registry text itself
  HRESULT guidFailure = E_OUTOFMEMORY;
  HRESULT modulePathResult = S_OK;
  std::string modulePath = "C:\\Program Files\\nodmark\\nodmark.dll";
  std::set<unsigned char> leadBytes;
  std::set<std::string> refusedKeys;  // WriteKey answers kKeyRefused for these
  // (key, value name, "" for the default value): the key is created (and recorded
  // without a value), the value is refused.
  std::set<std::pair<std::string, std::string>> refusedValues;
  std::set<std::string> otherArchitectureKeys;                // the other registry view's keys
  std::map<std::string, std::string> otherArchitectureTexts;  // their default values

  std::vector<RegistryOperation> operations;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_RECORDING_REGISTRATION_SYSTEM_H_

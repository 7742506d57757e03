#ifndef NODMARK_SHELL_CLASSES_ROOT_SYSTEM_H_
#define NODMARK_SHELL_CLASSES_ROOT_SYSTEM_H_

#include <windows.h>

#include "shell/registration_system.h"

namespace nodmark::shell {

// The real RegistrationSystem: GUID texts from StringFromIID, the path of `module`
// from GetModuleFileNameA, and keys under HKEY_CLASSES_ROOT. String values are
// written as REG_SZ with their terminating zero counted. Holds no state beyond the
// module handle; every key and text it opens is closed or freed before it returns.
class ClassesRootSystem final : public RegistrationSystem {
 public:
  explicit ClassesRootSystem(HMODULE module) noexcept : module_(module) {}

  HRESULT GuidText(REFGUID guid, std::string* text) noexcept override;
  // A path longer than MAX_PATH - 1 bytes is refused with
  // HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) rather than handed on cut short.
  HRESULT ModulePath(std::string* path) noexcept override;
  bool IsLeadByte(unsigned char byte) noexcept override;
  void DeleteTree(const std::string& key) noexcept override;
  bool OtherArchitectureHasKey(const std::string& key) noexcept override;
  // Reads at most MAX_PATH - 1 bytes, as the readers of the class key do; a longer
  // value counts as unreadable.
  bool ReadOtherArchitectureText(const std::string& key, std::string* text) noexcept override;
  KeyWrite WriteKey(const std::string& key, const char* valueName,
                    const char* valueText) noexcept override;

 private:
  HMODULE module_;
};

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_CLASSES_ROOT_SYSTEM_H_

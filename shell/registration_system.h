#ifndef NODMARK_SHELL_REGISTRATION_SYSTEM_H_
#define NODMARK_SHELL_REGISTRATION_SYSTEM_H_

#include <windows.h>

#include <string>

// What self-registration asks of the system: the texts of the component's GUIDs, the
// module's path, and key writes and deletions under HKEY_CLASSES_ROOT. The DLL uses
// ClassesRootSystem; tests put a recording stand-in in its place, so that the walk
// over the table can be checked row by row and keys can be refused on demand.
namespace nodmark::shell {

// What WriteKey managed.
enum class KeyWrite {
  kWritten,       // the key exists and holds the value asked for, if any
  kKeyRefused,    // the key could not be created; nothing was written
  kValueRefused,  // the key exists, but its value could not be written
};

class RegistrationSystem {
 public:
  virtual ~RegistrationSystem() = default;

  // The registry form of `guid` in the ANSI code page. S_OK with the text in *text;
  // on failure *text is unchanged and the result says why.
  virtual HRESULT GuidText(REFGUID guid, std::string* text) noexcept = 0;

  // The module's full file name in the ANSI code page. S_OK with the path in *path;
  // on failure (a path that does not fit the registry's MAX_PATH-sized readers
  // included) *path is unchanged and the result says why.
  virtual HRESULT ModulePath(std::string* path) noexcept = 0;

  // Whether `byte` starts a double-byte character of the ANSI code page.
  virtual bool IsLeadByte(unsigned char byte) noexcept = 0;

  // Deletes `key` with everything below it; a key that is absent or cannot be
  // deleted is not reported.
  virtual void DeleteTree(const std::string& key) noexcept = 0;

  // Whether `key` exists in the registry view of the other architecture: the 64-bit
  // view for a 32-bit module and back; the one view of a machine that has one.
  virtual bool OtherArchitectureHasKey(const std::string& key) noexcept = 0;

  // The default value of `key` in the other architecture's registry view (as above)
  // when it is a string: true with the text in *text; otherwise false with *text
  // unchanged.
  virtual bool ReadOtherArchitectureText(const std::string& key, std::string* text) noexcept = 0;

  // Opens or creates `key` (and any missing parent) for writing and, when
  // `valueText` is not null, writes it as a string value named `valueName` (null: the
  // default value). kKeyRefused when the key cannot be created, kValueRefused when
  // the key exists but the value cannot be written.
  virtual KeyWrite WriteKey(const std::string& key, const char* valueName,
                            const char* valueText) noexcept = 0;
};

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_REGISTRATION_SYSTEM_H_

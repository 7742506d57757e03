#ifndef NODMARK_SHELL_REGISTRATION_TABLE_H_
#define NODMARK_SHELL_REGISTRATION_TABLE_H_

#include <array>
#include <cstddef>
#include <string>

// The keys self-registration writes under HKEY_CLASSES_ROOT, as a table of rows over
// the texts they are made of. Pure functions: nothing here touches the registry.
namespace nodmark::shell {

// The texts the table is built from. GUID texts are in the registry form
// ("{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}"); all are in the ANSI code page.
struct RegistrationTexts {
  std::string clsid;
  std::string libid;
  std::string iid;               // IGerneralNodmark
  std::string iid2;              // IGerneralNodmark2, derived from it
  std::string classDescription;  // "GerneralNodmark Class"
  std::string progId;            // "Nodmark.GerneralNodmark"
  std::string versionedProgId;   // the ProgID followed by ".1"
  std::string modulePath;        // the DLL's full file name, unquoted
  std::string moduleDirectory;   // the module path up to and with its last backslash
  // The type library's entry for the module's platform, "TypeLib\\%s\\1.0\\0\\win32" or
  // "...\\win64": a 64-bit DLL's type library is read by 64-bit hosts only.
  std::string typeLibModulePattern;
};

// One key to write. Every text is zero-terminated and none is owned by the row.
struct RegistrationEntry {
  const char* keyPattern;   // the key, with "%s" standing for keyArgument
  const char* keyArgument;  // null: the pattern is the key itself
  const char* valueName;    // null: the key's default value
  const char* valueText;    // null: the key gets no value
  bool deleteFirst;         // delete the key and everything below it before creating it
};

inline constexpr std::size_t kRegistrationRowCount = 27;
using RegistrationTable = std::array<RegistrationEntry, kRegistrationRowCount>;

// The component's fixed texts for a module of the platform `typeLibPlatform`
// ("win32" or "win64"): the class description, the two ProgIDs and the type
// library's platform entry. GUID texts and module path are left empty for the caller.
RegistrationTexts FixedRegistrationTexts(const char* typeLibPlatform);

// The 27 rows in the order they are written: the two ProgIDs, the class key (deleted
// first, so nothing another tool left under it survives), the type-library key and
// the keys of the two interfaces with the standard automation marshaller (the second
// interface's five rows come last, so that the first 22 are those every earlier
// version wrote). The rows point into
// `texts`, which must outlive the table.
RegistrationTable BuildRegistrationTable(const RegistrationTexts& texts);

// The row's key: its pattern with the first "%s" replaced by the key argument, taken
// as it stands (no other character of either text has a special meaning), or the
// pattern itself when the row has no argument. May throw std::bad_alloc.
std::string FormRegistrationKey(const RegistrationEntry& entry);

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_REGISTRATION_TABLE_H_

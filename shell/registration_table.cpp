#include "shell/registration_table.h"

#include <algorithm>

namespace nodmark::shell {
namespace {

constexpr char kClassDescription[] = "GerneralNodmark Class";
constexpr char kProgId[] = "Nodmark.GerneralNodmark";
constexpr char kVersionSuffix[] = ".1";
constexpr char kLibraryDescription[] = "nodmark 1.0 Type Library";
constexpr char kInterfaceName[] = "IGerneralNodmark";
constexpr char kInterface2Name[] = "IGerneralNodmark2";
constexpr char kInterfaceVersion[] = "1.0";
constexpr char kLibraryFlags[] = "0";
// The standard automation marshaller: calls from other apartments are marshalled
// from the type library.
constexpr char kAutomationMarshaller[] = "{00020424-0000-0000-C000-000000000046}";
constexpr char kVersionValueName[] = "Version";
constexpr char kArgumentMark[] = "%s";
constexpr char kTypeLibLocaleKey[] = "TypeLib\\%s\\1.0\\0\\";

constexpr bool kDeleteFirst = true;
constexpr bool kKeep = false;

constexpr std::size_t kInterfaceRowCount = 5;
constexpr std::size_t kLeadingRowCount = kRegistrationRowCount - 2 * kInterfaceRowCount;

// The key of a dual interface: its name, the automation marshaller for calls from other
// apartments and the type library it is described in.
std::array<RegistrationEntry, kInterfaceRowCount> InterfaceRows(const char* iid, const char* name,
                                                                const char* libid) {
  return {{
      {"Interface\\%s", iid, nullptr, name, kKeep},
      {"Interface\\%s\\ProxyStubClsid", iid, nullptr, kAutomationMarshaller, kKeep},
      {"Interface\\%s\\ProxyStubClsid32", iid, nullptr, kAutomationMarshaller, kKeep},
      {"Interface\\%s\\TypeLib", iid, nullptr, libid, kKeep},
      {"Interface\\%s\\TypeLib", iid, kVersionValueName, kInterfaceVersion, kKeep},
  }};
}

}  // namespace

RegistrationTexts FixedRegistrationTexts(const char* typeLibPlatform) {
  RegistrationTexts texts;
  texts.classDescription = kClassDescription;
  texts.progId = kProgId;
  texts.versionedProgId = std::string(kProgId) + kVersionSuffix;
  texts.typeLibModulePattern = std::string(kTypeLibLocaleKey) + typeLibPlatform;
  return texts;
}

RegistrationTable BuildRegistrationTable(const RegistrationTexts& texts) {
  const char* const progId = texts.progId.c_str();
  const char* const clsid = texts.clsid.c_str();
  const char* const libid = texts.libid.c_str();
  const char* const description = texts.classDescription.c_str();
  const char* const versioned = texts.versionedProgId.c_str();
  const char* const path = texts.modulePath.c_str();
  const char* const directory = texts.moduleDirectory.c_str();
  // A null value name is the key's default value; a null value text writes no value.
  const std::array<RegistrationEntry, kLeadingRowCount> leading = {{
      {"%s.1", progId, nullptr, description, kKeep},
      {"%s.1\\CLSID", progId, nullptr, clsid, kKeep},
      {progId, nullptr, nullptr, description, kKeep},
      {"%s\\CLSID", progId, nullptr, clsid, kKeep},
      {"%s\\CurVer", progId, nullptr, versioned, kKeep},
      {"CLSID\\%s", clsid, nullptr, description, kDeleteFirst},
      {"CLSID\\%s\\ProgID", clsid, nullptr, versioned, kKeep},
      {"CLSID\\%s\\VersionIndependentProgID", clsid, nullptr, progId, kKeep},
      {"CLSID\\%s\\Programmable", clsid, nullptr, nullptr, kDeleteFirst},
      // Only the default value: without a ThreadingModel value the class lives in the
      // process's main single-threaded apartment.
      {"CLSID\\%s\\InprocServer32", clsid, nullptr, path, kKeep},
      {"CLSID\\%s\\TypeLib", clsid, nullptr, libid, kKeep},
      {"TypeLib\\%s", libid, nullptr, nullptr, kKeep},
      {"TypeLib\\%s\\1.0", libid, nullptr, kLibraryDescription, kKeep},
      // Locale 0 (language neutral); its platform entry is the module itself, which
      // carries the type library as resource "TYPELIB" 1.
      {"TypeLib\\%s\\1.0\\0", libid, nullptr, nullptr, kKeep},
      {texts.typeLibModulePattern.c_str(), libid, nullptr, path, kKeep},
      {"TypeLib\\%s\\1.0\\FLAGS", libid, nullptr, kLibraryFlags, kKeep},
      {"TypeLib\\%s\\1.0\\HELPDIR", libid, nullptr, directory, kKeep},
  }};
  const auto first = InterfaceRows(texts.iid.c_str(), kInterfaceName, libid);
  const auto second = InterfaceRows(texts.iid2.c_str(), kInterface2Name, libid);
  RegistrationTable table{};
  auto next = std::copy(leading.begin(), leading.end(), table.begin());
  next = std::copy(first.begin(), first.end(), next);
  std::copy(second.begin(), second.end(), next);
  return table;
}

std::string FormRegistrationKey(const RegistrationEntry& entry) {
  std::string key(entry.keyPattern);
  if (entry.keyArgument == nullptr) return key;
  const std::string::size_type mark = key.find(kArgumentMark);
  if (mark != std::string::npos) key.replace(mark, sizeof(kArgumentMark) - 1, entry.keyArgument);
  return key;
}

}  // namespace nodmark::shell

// The registration walk over a recording system: which keys are written, in which
// order, with which values, and where it stops.
#include "shell/server_registration.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "shell/recording_registration_system.h"

namespace nodmark::testing {
namespace {

const std::string kClsid = "{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}";
const std::string kLibid = "{54BAE923-A008-4AA2-82E1-47F612C9A090}";
const std::string kIid = "{0C2F6F40-9D45-437B-A61E-2470148259AB}";
const std::string kIid2 = "{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}";
const std::string kMarshaller = "{00020424-0000-0000-C000-000000000046}";
const std::string kPath = "C:\\Program Files\\nodmark\\nodmark.dll";

RegistryOperation Delete(const std::string& key) { return RegistryOperation::Delete(key); }

RegistryOperation Key(const std::string& key) { return RegistryOperation::Key(key); }

RegistryOperation Default(const std::string& key, const std::string& text) {
  return RegistryOperation::DefaultValue(key, text);
}

// The 27 rows as a client of the registry finds them, in the order they are written;
// a delete comes before rows 6 and 9.
std::vector<RegistryOperation> ExpectedRegistration(const std::string& path,
                                                    const std::string& directory) {
  const std::string classKey = "CLSID\\" + kClsid;
  const std::string libKey = "TypeLib\\" + kLibid;
  const std::string interfaceKey = "Interface\\" + kIid;
  const std::string interface2Key = "Interface\\" + kIid2;
  return {
      Default("Nodmark.GerneralNodmark.1", "GerneralNodmark Class"),
      Default("Nodmark.GerneralNodmark.1\\CLSID", kClsid),
      Default("Nodmark.GerneralNodmark", "GerneralNodmark Class"),
      Default("Nodmark.GerneralNodmark\\CLSID", kClsid),
      Default("Nodmark.GerneralNodmark\\CurVer", "Nodmark.GerneralNodmark.1"),
      Delete(classKey),
      Default(classKey, "GerneralNodmark Class"),
      Default(classKey + "\\ProgID", "Nodmark.GerneralNodmark.1"),
      Default(classKey + "\\VersionIndependentProgID", "Nodmark.GerneralNodmark"),
      Delete(classKey + "\\Programmable"),
      Key(classKey + "\\Programmable"),
      Default(classKey + "\\InprocServer32", path),
      Default(classKey + "\\TypeLib", kLibid),
      Key(libKey),
      Default(libKey + "\\1.0", "nodmark 1.0 Type Library"),
      Key(libKey + "\\1.0\\0"),
      Default(libKey + "\\1.0\\0\\win32", path),
      Default(libKey + "\\1.0\\FLAGS", "0"),
      Default(libKey + "\\1.0\\HELPDIR", directory),
      Default(interfaceKey, "IGerneralNodmark"),
      Default(interfaceKey + "\\ProxyStubClsid", kMarshaller),
      Default(interfaceKey + "\\ProxyStubClsid32", kMarshaller),
      Default(interfaceKey + "\\TypeLib", kLibid),
      RegistryOperation::NamedValue(interfaceKey + "\\TypeLib", "Version", "1.0"),
      Default(interface2Key, "IGerneralNodmark2"),
      Default(interface2Key + "\\ProxyStubClsid", kMarshaller),
      Default(interface2Key + "\\ProxyStubClsid32", kMarshaller),
      Default(interface2Key + "\\TypeLib", kLibid),
      RegistryOperation::NamedValue(interface2Key + "\\TypeLib", "Version", "1.0"),
  };
}

// The operations up to, and without, the write of row `row` (1-based).
std::vector<RegistryOperation> OperationsBeforeRow(const std::vector<RegistryOperation>& all,
                                                   int row) {
  std::vector<RegistryOperation> before;
  int writes = 0;
  for (const RegistryOperation& operation : all) {
    if (operation.kind == RegistryOperation::kWriteKey && ++writes == row) break;
    before.push_back(operation);
  }
  return before;
}

TEST(ServerRegistration, WritesTheTwentySevenRowsInOrder) {
  RecordingRegistrationSystem system;
  EXPECT_EQ(shell::RegisterServerKeys(system), S_OK);
  const std::vector<RegistryOperation> expected =
      ExpectedRegistration(kPath, "C:\\Program Files\\nodmark\\");
  ASSERT_EQ(system.operations.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(system.operations[i], expected[i]) << "operation " << i;
  }
}

TEST(ServerRegistration, KeyThatCannotBeCreatedStopsTheWalkWithSFalse) {
  // Write access to the class key denied: rows 1 to 5 are written, row 6 fails.
  RecordingRegistrationSystem system;
  system.refusedKeys.insert("CLSID\\" + kClsid);
  const HRESULT hr = shell::RegisterServerKeys(system);
  EXPECT_EQ(hr, S_FALSE);
  EXPECT_EQ(hr, 1) << "a success code, not an error";
  const std::vector<RegistryOperation> all = ExpectedRegistration(kPath, "");
  std::vector<RegistryOperation> expected = OperationsBeforeRow(all, 6);
  ASSERT_EQ(expected.size(), 6u) << "five rows and the delete of row 6";
  EXPECT_EQ(system.operations, expected);
}

TEST(ServerRegistration, StopsAtWhicheverRowFails) {
  const std::vector<RegistryOperation> all =
      ExpectedRegistration(kPath, "C:\\Program Files\\nodmark\\");
  int row = 0;
  for (const RegistryOperation& operation : all) {
    if (operation.kind != RegistryOperation::kWriteKey) continue;
    ++row;
    if (row == 22 || row == 27) continue;  // these open the key of the row before again
    RecordingRegistrationSystem system;
    system.refusedKeys.insert(operation.key);
    EXPECT_EQ(shell::RegisterServerKeys(system), S_FALSE) << "row " << row;
    EXPECT_EQ(system.operations, OperationsBeforeRow(all, row)) << "row " << row;
  }
  EXPECT_EQ(row, 27);
}

TEST(ServerRegistration, ValueThatCannotBeWrittenFailsAfterEveryOtherRow) {
  // The case table is every row that carries a value (InprocServer32's path and the
  // ProgIDs' CLSID among them): each refused in turn, the rest still written.
  const std::vector<RegistryOperation> all =
      ExpectedRegistration(kPath, "C:\\Program Files\\nodmark\\");
  int refused = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!all[i].hasValue) continue;
    ++refused;
    RecordingRegistrationSystem system;
    system.refusedValues.insert({all[i].key, all[i].valueName});
    std::vector<RegistryOperation> expected = all;
    expected[i] = Key(all[i].key);  // the key is there, its value is not
    EXPECT_EQ(shell::RegisterServerKeys(system), SELFREG_E_CLASS) << "operation " << i;
    EXPECT_EQ(system.operations, expected) << "operation " << i;
  }
  EXPECT_EQ(refused, 24);
}

TEST(ServerRegistration, RefusedValueIsNotHiddenByALaterRefusedKey) {
  RecordingRegistrationSystem system;
  system.refusedValues.insert({"Nodmark.GerneralNodmark\\CLSID", ""});
  system.refusedKeys.insert("CLSID\\" + kClsid);
  EXPECT_EQ(shell::RegisterServerKeys(system), SELFREG_E_CLASS);
  EXPECT_EQ(system.operations.size(), 6u) << "rows 1 to 5 and the delete of row 6";
}

TEST(ServerRegistration, GuidWithoutTextWritesNothingAndReportsWhy) {
  for (const std::string& guid : {kClsid, kLibid, kIid, kIid2}) {
    RecordingRegistrationSystem system;
    system.guidTexts.erase(guid);
    system.guidFailure = E_OUTOFMEMORY;
    EXPECT_EQ(shell::RegisterServerKeys(system), E_OUTOFMEMORY) << guid;
    EXPECT_TRUE(system.operations.empty()) << guid << ": no key named from an unset text";
  }
}

TEST(ServerRegistration, ModulePathThatCannotBeReadWritesNothing) {
  RecordingRegistrationSystem system;
  system.modulePathResult = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(shell::RegisterServerKeys(system), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_TRUE(system.operations.empty());
}

TEST(ServerRegistration, ModulePathIsWrittenAsItStands) {
  // Characters with a meaning in format strings or quoting reach the registry as is.
  RecordingRegistrationSystem system;
  system.modulePath = "C:\\100% it's\\%s %d\\nodmark.dll";
  ASSERT_EQ(shell::RegisterServerKeys(system), S_OK);
  EXPECT_EQ(system.operations, ExpectedRegistration(system.modulePath, "C:\\100% it's\\%s %d\\"));
}

TEST(ServerRegistration, HelpDirectoryOfAModuleInADriveRootKeepsTheBackslash) {
  RecordingRegistrationSystem system;
  system.modulePath = "c:\\nodmark.DLL";
  ASSERT_EQ(shell::RegisterServerKeys(system), S_OK);
  EXPECT_EQ(system.operations, ExpectedRegistration("c:\\nodmark.DLL", "c:\\"));
}

TEST(ServerRegistration, HelpDirectoryStepsOverDoubleByteCharacters) {
  // 0x81 0x5C is one character whose trail byte is the backslash's code.
  RecordingRegistrationSystem system;
  system.leadBytes = {0x81};
  system.modulePath = "C:\\dir\\name\x81\\.dll";
  ASSERT_EQ(shell::RegisterServerKeys(system), S_OK);
  EXPECT_EQ(system.operations, ExpectedRegistration(system.modulePath, "C:\\dir\\"));
}

TEST(ServerUnregistration, DeletesTheSixTreesAndSucceeds) {
  RecordingRegistrationSystem system;
  EXPECT_EQ(shell::UnregisterServerKeys(system), S_OK);
  const std::vector<RegistryOperation> expected = {
      Delete("CLSID\\" + kClsid),          Delete("Nodmark.GerneralNodmark"),
      Delete("Nodmark.GerneralNodmark.1"), Delete("TypeLib\\" + kLibid),
      Delete("Interface\\" + kIid),        Delete("Interface\\" + kIid2)};
  EXPECT_EQ(system.operations, expected);
}

TEST(ServerUnregistration, KeepsTheSharedTreesWhileTheOtherArchitectureIsRegistered) {
  RecordingRegistrationSystem system;
  system.otherArchitectureKeys.insert("CLSID\\" + kClsid);
  EXPECT_EQ(shell::UnregisterServerKeys(system), S_OK);
  const std::vector<RegistryOperation> expected = {
      Delete("CLSID\\" + kClsid), Delete("TypeLib\\" + kLibid + "\\1.0\\0\\win32"),
      Delete("Interface\\" + kIid), Delete("Interface\\" + kIid2)};
  EXPECT_EQ(system.operations, expected);
}

TEST(ServerUnregistration, PointsTheHelpDirectoryAtTheModuleThatStays) {
  RecordingRegistrationSystem system;
  system.otherArchitectureKeys.insert("CLSID\\" + kClsid);
  system.otherArchitectureTexts["CLSID\\" + kClsid + "\\InprocServer32"] =
      "C:\\Program Files (x86)\\nodmark\\nodmark.dll";
  EXPECT_EQ(shell::UnregisterServerKeys(system), S_OK);
  const std::vector<RegistryOperation> expected = {
      Delete("CLSID\\" + kClsid), Delete("TypeLib\\" + kLibid + "\\1.0\\0\\win32"),
      Default("TypeLib\\" + kLibid + "\\1.0\\HELPDIR", "C:\\Program Files (x86)\\nodmark\\"),
      Delete("Interface\\" + kIid), Delete("Interface\\" + kIid2)};
  EXPECT_EQ(system.operations, expected);
}

TEST(ServerUnregistration, HelpDirectoryThatCannotBeWrittenStillSucceeds) {
  RecordingRegistrationSystem system;
  system.otherArchitectureKeys.insert("CLSID\\" + kClsid);
  system.otherArchitectureTexts["CLSID\\" + kClsid + "\\InprocServer32"] = "C:\\x86\\nodmark.dll";
  system.refusedValues.insert({"TypeLib\\" + kLibid + "\\1.0\\HELPDIR", ""});
  EXPECT_EQ(shell::UnregisterServerKeys(system), S_OK);
  EXPECT_EQ(system.operations.back(), Delete("Interface\\" + kIid2)) << "the walk went on";
}

TEST(ServerUnregistration, GuidWithoutTextSkipsItsTree) {
  RecordingRegistrationSystem system;
  system.guidTexts.erase(kLibid);
  EXPECT_EQ(shell::UnregisterServerKeys(system), S_OK);
  const std::vector<RegistryOperation> expected = {
      Delete("CLSID\\" + kClsid), Delete("Nodmark.GerneralNodmark"),
      Delete("Nodmark.GerneralNodmark.1"), Delete("Interface\\" + kIid),
      Delete("Interface\\" + kIid2)};
  EXPECT_EQ(system.operations, expected);
}

}  // namespace
}  // namespace nodmark::testing

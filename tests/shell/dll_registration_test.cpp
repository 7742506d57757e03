// The shipped DLL's self-registration against Wine's registry: what DllRegisterServer
// writes under HKEY_CLASSES_ROOT, what it clears, and what DllUnregisterServer removes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/architecture.h"
#include "shell/classes_root.h"
#include "shell/client_helpers.h"
#include "shell/registered_dll_fixture.h"

namespace nodmark::testing {
namespace {

const std::string kClsid = "{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}";
const std::string kLibid = "{54BAE923-A008-4AA2-82E1-47F612C9A090}";
const std::string kIid = "{0C2F6F40-9D45-437B-A61E-2470148259AB}";
const std::string kClassKey = "CLSID\\" + kClsid;
const std::string kLibKey = "TypeLib\\" + kLibid;
const std::string kInterfaceKey = "Interface\\" + kIid;
const std::string kInterface2Key = "Interface\\{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}";
const std::string kMarshaller = "{00020424-0000-0000-C000-000000000046}";

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, length);
}

using DllRegistrationTest = RegisteredDllTest;

TEST_F(DllRegistrationTest, WritesEveryRowAsAStringWithItsTerminator) {
  ASSERT_EQ(dll->RegisterServer(), S_OK);
  const std::string path = ModulePath(dll->handle());
  const std::string directory = path.substr(0, path.rfind('\\') + 1);
  const struct {
    std::string key;
    const char* name;
    std::string text;
  } rows[] = {
      {"Nodmark.GerneralNodmark.1", nullptr, "GerneralNodmark Class"},
      {"Nodmark.GerneralNodmark.1\\CLSID", nullptr, kClsid},
      {"Nodmark.GerneralNodmark", nullptr, "GerneralNodmark Class"},
      {"Nodmark.GerneralNodmark\\CLSID", nullptr, kClsid},
      {"Nodmark.GerneralNodmark\\CurVer", nullptr, "Nodmark.GerneralNodmark.1"},
      {kClassKey, nullptr, "GerneralNodmark Class"},
      {kClassKey + "\\ProgID", nullptr, "Nodmark.GerneralNodmark.1"},
      {kClassKey + "\\VersionIndependentProgID", nullptr, "Nodmark.GerneralNodmark"},
      {kClassKey + "\\InprocServer32", nullptr, path},
      {kClassKey + "\\TypeLib", nullptr, kLibid},
      {kLibKey + "\\1.0", nullptr, "nodmark 1.0 Type Library"},
      // The 64-bit DLL's type library is listed for 64-bit hosts.
      {kLibKey + "\\1.0\\0\\" + platform::win32::kTypeLibPlatform, nullptr, path},
      {kLibKey + "\\1.0\\FLAGS", nullptr, "0"},
      {kLibKey + "\\1.0\\HELPDIR", nullptr, directory},
      {kInterfaceKey, nullptr, "IGerneralNodmark"},
      {kInterfaceKey + "\\ProxyStubClsid", nullptr, kMarshaller},
      {kInterfaceKey + "\\ProxyStubClsid32", nullptr, kMarshaller},
      {kInterfaceKey + "\\TypeLib", nullptr, kLibid},
      {kInterfaceKey + "\\TypeLib", "Version", "1.0"},
      {kInterface2Key, nullptr, "IGerneralNodmark2"},
      {kInterface2Key + "\\ProxyStubClsid", nullptr, kMarshaller},
      {kInterface2Key + "\\ProxyStubClsid32", nullptr, kMarshaller},
      {kInterface2Key + "\\TypeLib", nullptr, kLibid},
      {kInterface2Key + "\\TypeLib", "Version", "1.0"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const std::optional<RegistryValue> value = ReadClassesRootValue(rows[i].key, rows[i].name);
    ASSERT_TRUE(value) << rows[i].key;
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << rows[i].key;
    EXPECT_EQ(value->data, StringValue(rows[i].text).data) << rows[i].key;
  }
  // Keys written without a value.
  for (const std::string& key : {kClassKey + "\\Programmable", kLibKey, kLibKey + "\\1.0\\0"}) {
    EXPECT_TRUE(ClassesRootKeyExists(key)) << key;
    EXPECT_EQ(ClassesRootValueCount(key), 0) << key;
  }
  EXPECT_EQ(ClassesRootValueCount(kClassKey + "\\InprocServer32"), 1)
      << "the module path alone: no ThreadingModel";
  EXPECT_FALSE(ReadClassesRootValue(kClassKey + "\\InprocServer32", "ThreadingModel"));
}

TEST_F(DllRegistrationTest, ClearsTheClassKeyButKeepsOtherValuesElsewhere) {
  ASSERT_TRUE(WriteClassesRootString(kClassKey + "\\InprocServer32", "ThreadingModel", "Both"));
  ASSERT_TRUE(WriteClassesRootString(kClassKey + "\\LocalServer32", nullptr, "C:\\stale.exe"));
  ASSERT_TRUE(WriteClassesRootString(kClassKey + "\\Programmable", "Stale", "x"));
  ASSERT_TRUE(WriteClassesRootString(kInterfaceKey, "Foreign", "kept"));
  ASSERT_TRUE(WriteClassesRootString("Nodmark.GerneralNodmark", "Foreign", "kept too"));

  ASSERT_EQ(dll->RegisterServer(), S_OK);
  EXPECT_FALSE(ReadClassesRootValue(kClassKey + "\\InprocServer32", "ThreadingModel"));
  EXPECT_FALSE(ClassesRootKeyExists(kClassKey + "\\LocalServer32"));
  EXPECT_FALSE(ReadClassesRootValue(kClassKey + "\\Programmable", "Stale"));
  const std::optional<RegistryValue> foreign = ReadClassesRootValue(kInterfaceKey, "Foreign");
  ASSERT_TRUE(foreign);
  EXPECT_EQ(foreign->data, StringValue("kept").data);
  EXPECT_TRUE(ReadClassesRootValue("Nodmark.GerneralNodmark", "Foreign"));
  EXPECT_EQ(ReadClassesRootValue(kInterfaceKey, nullptr)->data,
            StringValue("IGerneralNodmark").data);
}

TEST_F(DllRegistrationTest, UnregistrationRemovesTheSixTreesAndSucceedsWhenNothingIsThere) {
  ASSERT_EQ(dll->RegisterServer(), S_OK);
  const std::vector<std::string> trees = ComponentTrees();
  for (const std::string& tree : trees) ASSERT_TRUE(ClassesRootKeyExists(tree)) << tree;
  EXPECT_EQ(dll->UnregisterServer(), S_OK);
  for (const std::string& tree : trees) EXPECT_FALSE(ClassesRootKeyExists(tree)) << tree;
  EXPECT_EQ(dll->UnregisterServer(), S_OK) << "nothing registered";
}

// The copies these tests load stay behind; the next run overwrites them.
TEST_F(DllRegistrationTest, ModuleInADriveRootHasTheRootAsHelpDirectory) {
  const wchar_t kRootCopy[] = L"c:\\nodmark.DLL";
  ASSERT_TRUE(CopyNodmarkDll(kRootCopy));
  {
    NodmarkDll rootDll(kRootCopy);
    ASSERT_TRUE(rootDll.loaded());
    ASSERT_EQ(rootDll.RegisterServer(), S_OK);
    const std::string path = ModulePath(rootDll.handle());
    ASSERT_EQ(path.size(), std::string("c:\\nodmark.DLL").size());
    const std::optional<RegistryValue> helpDir =
        ReadClassesRootValue(kLibKey + "\\1.0\\HELPDIR", nullptr);
    ASSERT_TRUE(helpDir);
    EXPECT_EQ(helpDir->data, StringValue(path.substr(0, 3)).data);
    EXPECT_EQ(path.substr(1, 2), ":\\");
    EXPECT_EQ(rootDll.UnregisterServer(), S_OK);
  }
}

TEST_F(DllRegistrationTest, ModulePathLongerThanTheRegistryReadersTakeIsRefused) {
  // A directory chain under the temporary directory whose DLL path passes MAX_PATH.
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::wstring directory = std::wstring(L"\\\\?\\") + temp + L"nodmark_long_path";
  for (;;) {
    ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS)
        << "error " << GetLastError();
    if (directory.size() > MAX_PATH + 20) break;
    directory += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
  }
  const std::wstring longPath = directory + L"\\nodmark.dll";
  ASSERT_TRUE(CopyNodmarkDll(longPath));
  {
    NodmarkDll longDll(longPath);
    ASSERT_TRUE(longDll.loaded()) << "error " << GetLastError();
    EXPECT_EQ(longDll.RegisterServer(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    for (const std::string& tree : ComponentTrees()) {
      EXPECT_FALSE(ClassesRootKeyExists(tree)) << tree << ": nothing written";
    }
  }
}

}  // namespace
}  // namespace nodmark::testing

#include "shell/server_registration.h"

#include "platform/win32/architecture.h"
#include "shell/com_error.h"
#include "shell/guids.h"
#include "shell/module_directory.h"
#include "shell/registration_table.h"

namespace nodmark::shell {
namespace {

constexpr char kClassTreePrefix[] = "CLSID\\";
constexpr char kTypeLibTreePrefix[] = "TypeLib\\";
constexpr char kInterfaceTreePrefix[] = "Interface\\";

// Every text the table is made of, or the first failure to get one.
HRESULT GatherTexts(RegistrationSystem& system, RegistrationTexts* texts) {
  *texts = FixedRegistrationTexts(platform::win32::kTypeLibPlatform);
  HRESULT hr = system.GuidText(kClsidGerneralNodmark, &texts->clsid);
  if (SUCCEEDED(hr)) hr = system.GuidText(kLibidNodmarkLib, &texts->libid);
  if (SUCCEEDED(hr)) hr = system.GuidText(kIidGerneralNodmark, &texts->iid);
  if (SUCCEEDED(hr)) hr = system.ModulePath(&texts->modulePath);
  if (FAILED(hr)) return hr;
  texts->moduleDirectory = ModuleDirectory(
      texts->modulePath, [&system](unsigned char byte) { return system.IsLeadByte(byte); });
  return S_OK;
}

}  // namespace

HRESULT RegisterServerKeys(RegistrationSystem& system) noexcept {
  try {
    RegistrationTexts texts;
    const HRESULT hr = GatherTexts(system, &texts);
    if (FAILED(hr)) return hr;
    for (const RegistrationEntry& row : BuildRegistrationTable(texts)) {
      const std::string key = FormRegistrationKey(row);
      if (row.deleteFirst) system.DeleteTree(key);
      // Nothing is rolled back: the rows already written stay, as an installer
      // running again would write them anyway.
      if (!system.WriteKey(key, row.valueName, row.valueText)) return S_FALSE;
    }
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

HRESULT UnregisterServerKeys(RegistrationSystem& system) noexcept {
  try {
    const RegistrationTexts fixed = FixedRegistrationTexts(platform::win32::kTypeLibPlatform);
    system.DeleteTree(fixed.progId);
    system.DeleteTree(fixed.versionedProgId);
    const struct {
      const GUID* guid;
      const char* treePrefix;
    } trees[] = {
        {&kClsidGerneralNodmark, kClassTreePrefix},
        {&kLibidNodmarkLib, kTypeLibTreePrefix},
        {&kIidGerneralNodmark, kInterfaceTreePrefix},
    };
    for (const auto& tree : trees) {
      std::string text;
      if (SUCCEEDED(system.GuidText(*tree.guid, &text))) {
        system.DeleteTree(tree.treePrefix + text);
      }
    }
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

}  // namespace nodmark::shell

#include "shell/server_registration.h"

#include <olectl.h>

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
constexpr char kModulePathSubkey[] = "\\InprocServer32";

// Every text the table is made of, or the first failure to get one.
HRESULT GatherTexts(RegistrationSystem& system, RegistrationTexts* texts) {
  *texts = FixedRegistrationTexts(platform::win32::kTypeLibPlatform);
  HRESULT hr = system.GuidText(kClsidGerneralNodmark, &texts->clsid);
  if (SUCCEEDED(hr)) hr = system.GuidText(kLibidNodmarkLib, &texts->libid);
  if (SUCCEEDED(hr)) hr = system.GuidText(kIidGerneralNodmark, &texts->iid);
  if (SUCCEEDED(hr)) hr = system.GuidText(kIidGerneralNodmark2, &texts->iid2);
  if (SUCCEEDED(hr)) hr = system.ModulePath(&texts->modulePath);
  if (FAILED(hr)) return hr;
  texts->moduleDirectory = ModuleDirectory(
      texts->modulePath, [&system](unsigned char byte) { return system.IsLeadByte(byte); });
  return S_OK;
}

// Writes the rows of the table that hold the module directory (the type library's
// help directory) with the folder of the other architecture's module, read from its
// class key. The help directory names the folder of the module registered last, which
// may be the one just unregistered. Nothing is written when that path cannot be read.
void PointHelpDirectoryAtOtherModule(RegistrationSystem& system, RegistrationTexts texts) {
  std::string otherPath;
  if (!system.ReadOtherArchitectureText(kClassTreePrefix + texts.clsid + kModulePathSubkey,
                                        &otherPath) ||
      otherPath.empty()) {
    return;
  }
  texts.moduleDirectory =
      ModuleDirectory(otherPath, [&system](unsigned char byte) { return system.IsLeadByte(byte); });
  for (const RegistrationEntry& row : BuildRegistrationTable(texts)) {
    if (row.valueText == texts.moduleDirectory.c_str()) {
      // A help directory that stays as it was costs no host anything.
      static_cast<void>(system.WriteKey(FormRegistrationKey(row), row.valueName, row.valueText));
    }
  }
}

}  // namespace

HRESULT RegisterServerKeys(RegistrationSystem& system) noexcept {
  try {
    RegistrationTexts texts;
    const HRESULT hr = GatherTexts(system, &texts);
    if (FAILED(hr)) return hr;
    // A missing value (the module path under InprocServer32, a ProgID's CLSID) leaves
    // a class that cannot be created, so it fails the registration; the other rows
    // are still written, as far as they go.
    bool valueRefused = false;
    for (const RegistrationEntry& row : BuildRegistrationTable(texts)) {
      const std::string key = FormRegistrationKey(row);
      if (row.deleteFirst) system.DeleteTree(key);
      const KeyWrite written = system.WriteKey(key, row.valueName, row.valueText);
      // Nothing is rolled back: the rows already written stay, as an installer
      // running again would write them anyway.
      if (written == KeyWrite::kKeyRefused) return valueRefused ? SELFREG_E_CLASS : S_FALSE;
      if (written == KeyWrite::kValueRefused) valueRefused = true;
    }
    return valueRefused ? SELFREG_E_CLASS : S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

HRESULT UnregisterServerKeys(RegistrationSystem& system) noexcept {
  try {
    RegistrationTexts fixed = FixedRegistrationTexts(platform::win32::kTypeLibPlatform);
    std::string& clsid = fixed.clsid;
    std::string& libid = fixed.libid;
    std::string& iid = fixed.iid;
    const bool haveClsid = SUCCEEDED(system.GuidText(kClsidGerneralNodmark, &clsid));
    const bool haveLibid = SUCCEEDED(system.GuidText(kLibidNodmarkLib, &libid));
    const bool haveIid = SUCCEEDED(system.GuidText(kIidGerneralNodmark, &iid));
    const bool haveIid2 = SUCCEEDED(system.GuidText(kIidGerneralNodmark2, &fixed.iid2));

    // 64-bit Windows gives 32-bit and 64-bit processes a class key and an interface key
    // each, but one ProgID key and one type-library key for both. While the module of
    // the other architecture stays registered (its class key is asked after this one's
    // is gone, so that a machine with one view answers for the module itself), the
    // shared trees stay and only this module's entry under the type library goes.
    if (haveClsid) system.DeleteTree(kClassTreePrefix + clsid);
    const bool otherRegistered =
        haveClsid && system.OtherArchitectureHasKey(kClassTreePrefix + clsid);
    if (!otherRegistered) {
      system.DeleteTree(fixed.progId);
      system.DeleteTree(fixed.versionedProgId);
    }
    if (haveLibid) {
      if (otherRegistered) {
        const RegistrationEntry entry{fixed.typeLibModulePattern.c_str(), libid.c_str(), nullptr,
                                      nullptr, false};
        system.DeleteTree(FormRegistrationKey(entry));
        PointHelpDirectoryAtOtherModule(system, fixed);
      } else {
        system.DeleteTree(kTypeLibTreePrefix + libid);
      }
    }
    if (haveIid) system.DeleteTree(kInterfaceTreePrefix + iid);
    if (haveIid2) system.DeleteTree(kInterfaceTreePrefix + fixed.iid2);
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

}  // namespace nodmark::shell

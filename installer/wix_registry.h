#ifndef NODMARK_INSTALLER_WIX_REGISTRY_H_
#define NODMARK_INSTALLER_WIX_REGISTRY_H_

#include <string>
#include <utility>
#include <vector>

// The installer's registry rows, made from the same table DllRegisterServer walks.
// Portable C++: it runs on the build host, which has no Windows headers.
namespace nodmark::installer {

// Where the installed DLL is, as Windows Installer names it inside the package.
struct InstalledModule {
  std::string typeLibPlatform;  // "win32" or "win64": the module's architecture
  std::string fileId;           // the File element's Id; its path is "[#fileId]"
  std::string directoryId;      // the Directory element's Id; "[directoryId]" ends in '\'
};

// A WiX include (<Include> ... </Include>) of RegistryValue elements under
// HKEY_CLASSES_ROOT, to be placed in the component that installs the DLL:
// - a row with a value writes it, the module path as "[#fileId]" and the module
//   directory as "[directoryId]"; any other text is escaped so that Windows
//   Installer writes it as it stands;
// - a row without a value creates its key ("+");
// - a row that registration deletes before writing it (the class key, Programmable)
//   is removed with everything below it when the component is uninstalled ("-", or
//   "*" together with "+"), as unregistration removes it.
// Throws std::invalid_argument when an id is not a valid installer identifier.
std::string WixRegistryInclude(const InstalledModule& module);

// A package component that installs a DLL: the module's platform ("win32" or "win64")
// and the Component element's Id.
using PackageComponent = std::pair<std::string, std::string>;

// The package's RemoveRegistry table, in the archive form (.idt) that msibuild
// imports: for each component, one row per key that registration deletes before
// writing it (the class key, Programmable), with the name "-". Windows Installer
// deletes such a key with everything below it whenever it installs or repairs the
// component, in the component's registry view and before it writes the registry
// rows, so that nothing another tool left under the class key (a threading model, a
// TreatAs key) survives an install, as nothing survives DllRegisterServer.
// Throws std::invalid_argument when a component id is not a valid installer
// identifier.
std::string RemoveRegistryTable(const std::vector<PackageComponent>& components);

// `text` as a Windows Installer formatted text that resolves to `text` itself:
// brackets and braces are escaped, and a leading '#' is doubled so that the value
// is not read as a number or binary data.
std::string FormattedLiteral(const std::string& text);

}  // namespace nodmark::installer

#endif  // NODMARK_INSTALLER_WIX_REGISTRY_H_

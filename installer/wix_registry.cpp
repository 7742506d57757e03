#include "installer/wix_registry.h"

#include <cstddef>
#include <stdexcept>

#include "shell/guid_texts.h"
#include "shell/registration_table.h"

namespace nodmark::installer {
namespace {

// Registry-table names with a meaning of their own for a row without a value.
constexpr char kCreateKey[] = "+";
constexpr char kRemoveTreeOnUninstall[] = "-";
constexpr char kCreateKeyAndRemoveTreeOnUninstall[] = "*";
// The RemoveRegistry table's name for a key removed with everything below it.
constexpr char kRemoveTree[] = "-";
// HKEY_CLASSES_ROOT in the Root column of the Registry and RemoveRegistry tables.
constexpr char kClassesRootColumn[] = "0";

std::string XmlEscaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// Letters, digits, '_' and '.', not starting with a digit or '.': an identifier of
// the installer's tables, safe inside "[...]" and an XML attribute.
void RequireIdentifier(const std::string& id) {
  bool valid = !id.empty() && !(id[0] >= '0' && id[0] <= '9') && id[0] != '.';
  for (const char c : id) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    valid = valid && (letter || (c >= '0' && c <= '9') || c == '_' || c == '.');
  }
  if (!valid) throw std::invalid_argument("not an installer identifier: '" + id + "'");
}

// One RegistryValue element; `name` and `value` are formatted texts, null for none.
std::string Row(const std::string& key, const char* name, const std::string* value) {
  std::string row = "  <RegistryValue Root=\"HKCR\" Key=\"" + XmlEscaped(key) + "\"";
  if (name != nullptr) row += " Name=\"" + XmlEscaped(name) + "\"";
  row += " Type=\"string\"";
  if (value != nullptr) row += " Value=\"" + XmlEscaped(*value) + "\"";
  return row + "/>\n";
}

// The registration texts of the module of `typeLibPlatform`, with the component's GUIDs.
shell::RegistrationTexts ComponentTexts(const std::string& typeLibPlatform) {
  shell::RegistrationTexts texts = shell::FixedRegistrationTexts(typeLibPlatform.c_str());
  texts.clsid = shell::kClsidGerneralNodmarkText;
  texts.libid = shell::kLibidNodmarkLibText;
  texts.iid = shell::kIidGerneralNodmarkText;
  texts.iid2 = shell::kIidGerneralNodmark2Text;
  return texts;
}

}  // namespace

std::string FormattedLiteral(const std::string& text) {
  std::string formatted = text.rfind('#', 0) == 0 ? "#" : "";
  for (const char c : text) {
    if (c == '[' || c == ']' || c == '{' || c == '}') {
      formatted += "[\\";
      formatted += c;
      formatted += ']';
    } else {
      formatted += c;
    }
  }
  return formatted;
}

std::string WixRegistryInclude(const InstalledModule& module) {
  RequireIdentifier(module.fileId);
  RequireIdentifier(module.directoryId);
  shell::RegistrationTexts texts = ComponentTexts(module.typeLibPlatform);
  // Stand-ins that the rows below recognise by address: the installer resolves the
  // file and folder references when it writes the values.
  texts.modulePath = "[#" + module.fileId + "]";
  texts.moduleDirectory = "[" + module.directoryId + "]";

  std::string include =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!-- Generated from the self-registration table for " +
      XmlEscaped(module.typeLibPlatform) + "; do not edit. -->\n<Include>\n";
  for (const shell::RegistrationEntry& entry : shell::BuildRegistrationTable(texts)) {
    const std::string key = FormattedLiteral(shell::FormRegistrationKey(entry));
    if (entry.valueText == nullptr) {
      include +=
          Row(key, entry.deleteFirst ? kCreateKeyAndRemoveTreeOnUninstall : kCreateKey, nullptr);
      continue;
    }
    const bool reference = entry.valueText == texts.modulePath.c_str() ||
                           entry.valueText == texts.moduleDirectory.c_str();
    const std::string value = reference ? entry.valueText : FormattedLiteral(entry.valueText);
    include += Row(key, entry.valueName, &value);
    if (entry.deleteFirst) include += Row(key, kRemoveTreeOnUninstall, nullptr);
  }
  return include + "</Include>\n";
}

std::string RemoveRegistryTable(const std::vector<PackageComponent>& components) {
  // Column names, column types (s72: text of up to 72 characters, i2: short integer,
  // l255: localizable text, L255: the same, nullable), then the table and its key.
  std::string table =
      "RemoveRegistry\tRoot\tKey\tName\tComponent_\n"
      "s72\ti2\tl255\tL255\ts72\n"
      "RemoveRegistry\tRemoveRegistry\n";
  for (const auto& [typeLibPlatform, componentId] : components) {
    RequireIdentifier(componentId);
    const shell::RegistrationTexts texts = ComponentTexts(typeLibPlatform);
    const shell::RegistrationTable rows = shell::BuildRegistrationTable(texts);
    for (std::size_t row = 0; row < rows.size(); ++row) {
      if (!rows[row].deleteFirst) continue;
      // Keys and GUID texts hold no tab or line break, the table's only separators.
      table += "remove_" + componentId + "_" + std::to_string(row + 1) + "\t" + kClassesRootColumn +
               "\t" + FormattedLiteral(shell::FormRegistrationKey(rows[row])) + "\t" + kRemoveTree +
               "\t" + componentId + "\n";
    }
  }
  return table;
}

}  // namespace nodmark::installer

#ifndef NODMARK_SHELL_GUIDS_H_
#define NODMARK_SHELL_GUIDS_H_

#include <windows.h>

#include <cstddef>

#include "shell/guid_texts.h"

namespace nodmark::shell {
namespace guid_parsing {

// Length of a registry-form GUID text without its terminator: braces, 32 digits and
// four hyphens.
inline constexpr std::size_t kGuidTextLength = 38;

// A malformed text is a build error: the throw cannot happen in a constant expression.
constexpr unsigned HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  throw "not a hexadecimal digit";
}

constexpr unsigned long HexField(const char* text, std::size_t first, std::size_t digits) {
  unsigned long value = 0;
  for (std::size_t i = first; i < first + digits; ++i) value = value * 16 + HexDigitValue(text[i]);
  return value;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as the GUID it names.
constexpr GUID GuidFromRegistryText(const char (&text)[kGuidTextLength + 1]) {
  if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' ||
      text[37] != '}') {
    throw "not a GUID in registry form";
  }
  // Offsets of the eight bytes of the last two groups.
  constexpr std::size_t kTailBytes[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  GUID guid{};
  guid.Data1 = HexField(text, 1, 8);
  guid.Data2 = static_cast<unsigned short>(HexField(text, 10, 4));
  guid.Data3 = static_cast<unsigned short>(HexField(text, 15, 4));
  for (std::size_t i = 0; i < 8; ++i) {
    guid.Data4[i] = static_cast<unsigned char>(HexField(text, kTailBytes[i], 2));
  }
  return guid;
}

}  // namespace guid_parsing

// The component's identities, from their registry texts.
// Class GerneralNodmark.
inline constexpr CLSID kClsidGerneralNodmark =
    guid_parsing::GuidFromRegistryText(kClsidGerneralNodmarkText);
// Dual interface IGerneralNodmark.
inline constexpr IID kIidGerneralNodmark =
    guid_parsing::GuidFromRegistryText(kIidGerneralNodmarkText);
// Dual interface IGerneralNodmark2, derived from IGerneralNodmark: the class's default.
inline constexpr IID kIidGerneralNodmark2 =
    guid_parsing::GuidFromRegistryText(kIidGerneralNodmark2Text);
// Type library NODMARKLib, version 1.0.
inline constexpr GUID kLibidNodmarkLib = guid_parsing::GuidFromRegistryText(kLibidNodmarkLibText);
inline constexpr WORD kTypeLibMajorVersion = 1;
inline constexpr WORD kTypeLibMinorVersion = 0;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_GUIDS_H_

#ifndef NODMARK_SHELL_GUIDS_H_
#define NODMARK_SHELL_GUIDS_H_

#include <windows.h>

namespace nodmark::shell {

// The component's identities, as nodmark.idl declares them for the type library.
// Class GerneralNodmark {0A47E819-F82E-4D5D-B806-6A9EA94D68CD}.
inline constexpr CLSID kClsidGerneralNodmark = {
    0x0A47E819, 0xF82E, 0x4D5D, {0xB8, 0x06, 0x6A, 0x9E, 0xA9, 0x4D, 0x68, 0xCD}};
// Dual interface IGerneralNodmark {0C2F6F40-9D45-437B-A61E-2470148259AB}.
inline constexpr IID kIidGerneralNodmark = {
    0x0C2F6F40, 0x9D45, 0x437B, {0xA6, 0x1E, 0x24, 0x70, 0x14, 0x82, 0x59, 0xAB}};
// Type library NODMARKLib {54BAE923-A008-4AA2-82E1-47F612C9A090}, version 1.0.
inline constexpr GUID kLibidNodmarkLib = {
    0x54BAE923, 0xA008, 0x4AA2, {0x82, 0xE1, 0x47, 0xF6, 0x12, 0xC9, 0xA0, 0x90}};
inline constexpr WORD kTypeLibMajorVersion = 1;
inline constexpr WORD kTypeLibMinorVersion = 0;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_GUIDS_H_

#ifndef NODMARK_SHELL_GUID_TEXTS_H_
#define NODMARK_SHELL_GUID_TEXTS_H_

// The component's identities in the registry form, the one place they are written
// down for C++: the DLL's GUID constants (shell/guids.h) are parsed from these at
// compile time, and the installer's registry rows are generated from them on the
// build host, which has no Windows headers. nodmark.idl repeats them for the type
// library; a test holds the two in agreement.
namespace nodmark::shell {

inline constexpr char kClsidGerneralNodmarkText[] = "{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}";
inline constexpr char kIidGerneralNodmarkText[] = "{0C2F6F40-9D45-437B-A61E-2470148259AB}";
inline constexpr char kIidGerneralNodmark2Text[] = "{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}";
inline constexpr char kLibidNodmarkLibText[] = "{54BAE923-A008-4AA2-82E1-47F612C9A090}";

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_GUID_TEXTS_H_

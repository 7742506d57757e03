// nodmark_wix_registry PLATFORM FILE_ID DIRECTORY_ID OUTPUT: writes the WiX include
// of the registry rows for the DLL of PLATFORM ("win32" or "win64") installed as
// file FILE_ID into folder DIRECTORY_ID.
// nodmark_wix_registry --remove-registry OUTPUT PLATFORM COMPONENT_ID [PLATFORM
// COMPONENT_ID]: writes the package's RemoveRegistry table (.idt) for the components
// that install those DLLs.
// Exit status 0 on success, 1 on any failure.
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "installer/wix_registry.h"

namespace {

constexpr int kIncludeArgumentCount = 5;
constexpr char kRemoveRegistryMode[] = "--remove-registry";
constexpr int kRemoveRegistryFirstComponent = 3;

bool IsPlatform(const char* text) {
  return std::strcmp(text, "win32") == 0 || std::strcmp(text, "win64") == 0;
}

void Usage() {
  std::cerr << "usage: nodmark_wix_registry win32|win64 FILE_ID DIRECTORY_ID OUTPUT\n"
               "       nodmark_wix_registry --remove-registry OUTPUT win32|win64 COMPONENT_ID"
               " [win32|win64 COMPONENT_ID]\n";
}

// The text the arguments ask for, or false after telling how to call.
bool Generate(int argc, char** argv, std::string* text, const char** output) {
  if (argc > 1 && std::strcmp(argv[1], kRemoveRegistryMode) == 0) {
    const int componentArguments = argc - kRemoveRegistryFirstComponent;
    if (componentArguments <= 0 || componentArguments % 2 != 0) return false;
    std::vector<nodmark::installer::PackageComponent> components;
    for (int at = kRemoveRegistryFirstComponent; at < argc; at += 2) {
      if (!IsPlatform(argv[at])) return false;
      components.emplace_back(argv[at], argv[at + 1]);
    }
    *text = nodmark::installer::RemoveRegistryTable(components);
    *output = argv[2];
    return true;
  }
  if (argc != kIncludeArgumentCount || !IsPlatform(argv[1])) return false;
  *text = nodmark::installer::WixRegistryInclude({argv[1], argv[2], argv[3]});
  *output = argv[4];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string text;
    const char* output = nullptr;
    if (!Generate(argc, argv, &text, &output)) {
      Usage();
      return 1;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
      std::cerr << "nodmark_wix_registry: cannot write " << output << "\n";
      return 1;
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "nodmark_wix_registry: " << error.what() << "\n";
    return 1;
  }
}

// nodmark_wix_registry PLATFORM FILE_ID DIRECTORY_ID OUTPUT: writes the WiX include
// of the registry rows for the DLL of PLATFORM ("win32" or "win64") installed as
// file FILE_ID into folder DIRECTORY_ID. Exit status 0 on success, 1 on any failure.
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>

#include "installer/wix_registry.h"

namespace {

constexpr int kArgumentCount = 5;

}  // namespace

int main(int argc, char** argv) {
  if (argc != kArgumentCount ||
      (std::strcmp(argv[1], "win32") != 0 && std::strcmp(argv[1], "win64") != 0)) {
    std::cerr << "usage: nodmark_wix_registry win32|win64 FILE_ID DIRECTORY_ID OUTPUT\n";
    return 1;
  }
  try {
    const std::string include = nodmark::installer::WixRegistryInclude({argv[1], argv[2], argv[3]});
    std::ofstream output(argv[4], std::ios::binary | std::ios::trunc);
    output << include;
    output.close();
    if (!output) {
      std::cerr << "nodmark_wix_registry: cannot write " << argv[4] << "\n";
      return 1;
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "nodmark_wix_registry: " << error.what() << "\n";
    return 1;
  }
}

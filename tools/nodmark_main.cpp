// Prints this machine's three identifiers, one per line, as "<property> <value>".
#include <cstdio>
#include <exception>

#include "core/identifier_set.h"

int main() {
  try {
    const nodmark::core::IdentifierSet identifiers;
    std::printf("nodmark_old %s\n", identifiers.GetOldIdentifier().c_str());
    std::printf("nodmark_new %s\n", identifiers.GetNewIdentifier().c_str());
    std::printf("nodmark_complicate %s\n", identifiers.GetComplicateIdentifier().c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return 1;
  }
}

// Prints this machine's three identifiers, one per line, as "<property> <value>".
// A note on standard error tells where the random identifier's store file lives
// (on Linux it needs root to be created; without it the identifier shows ZZZ).
#include <cstdio>
#include <exception>

#include "core/identifier_set.h"
#include "sources/random_id_store.h"

int main() {
  try {
    const nodmark::core::IdentifierSet identifiers;
    std::printf("nodmark_old %s\n", identifiers.GetOldIdentifier().c_str());
    std::printf("nodmark_new %s\n", identifiers.GetNewIdentifier().c_str());
    std::printf("nodmark_complicate %s\n", identifiers.GetComplicateIdentifier().c_str());
    std::fflush(stdout);
    if (const auto storePath = nodmark::sources::LocateStoreFile()) {
      std::fprintf(stderr, "nodmark: random identifier store file: %s\n", storePath->c_str());
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return 1;
  }
}

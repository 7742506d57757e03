// A second process for the store file tests: writes the random identifier it reads,
// and how it came by it (the outcome's number), as two lines into the file named by
// its argument.
#include <cstdio>

#include "sources/random_id_store.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: store_reader OUTPUT_FILE\n");
    return 2;
  }
  const nodmark::sources::StoredRandomIdReport report = nodmark::sources::ResolveStoredRandomId();
  std::FILE* output = std::fopen(argv[1], "w");
  if (output == nullptr) return 1;
  std::fprintf(output, "%s\n%d\n", report.value.c_str(), static_cast<int>(report.outcome));
  return std::fclose(output) == 0 ? 0 : 1;
}

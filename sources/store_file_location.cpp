// Apart from stored_random_id.cpp, so that the DLL, which reads and writes the store
// file but names it to no one, does not link the location query.
#include "platform/system_directory.h"
#include "sources/random_id_store.h"

namespace nodmark::sources {

std::optional<std::string> LocateStoreFile() {
  const std::optional<std::string> directory = platform::QuerySystemDirectoryLocation();
  if (!directory) return std::nullopt;
  return platform::AppendPathComponent(*directory, kStoreFileName);
}

}  // namespace nodmark::sources

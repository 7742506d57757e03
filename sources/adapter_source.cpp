#include "sources/machine_sources.h"

namespace nodmark::sources {

// Placeholder until the adapter source is built: no adapter qualifies.
bool ReadAdapterAddresses(ByteString& output, std::uint8_t /*mode*/) {
  output.clear();
  return false;
}

}  // namespace nodmark::sources

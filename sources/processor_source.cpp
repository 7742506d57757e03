#include "sources/machine_sources.h"

namespace nodmark::sources {

// Placeholder until the processor source is built: identification faulted.
bool ReadProcessorSignature(ByteString& output) {
  output.clear();
  return true;
}

}  // namespace nodmark::sources

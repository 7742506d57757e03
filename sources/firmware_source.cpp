#include "sources/machine_sources.h"

namespace nodmark::sources {

// Placeholder until the firmware source is built: no firmware text found.
bool ReadFirmwareSignature(ByteString& output) {
  output.clear();
  return true;
}

}  // namespace nodmark::sources

// Prints what the platform layer reads on this machine, in forms that the OS's own
// commands also print, so a script can compare the two:
//   volume c: 4300-0000        (the serial as "vol" shows it; "volume c: none" on failure)
//   adapter 02-FC-00-00-00-01 eth0   (one line per listed adapter, in listing order)
//   adapters none              (when the listing fails)
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/adapters.h"
#include "platform/volume.h"

int main() {
  using namespace nodmark::platform;
  const std::optional<std::uint32_t> serial = QueryVolumeSerial("c:\\");
  if (serial) {
    std::printf("volume c: %04X-%04X\n", static_cast<unsigned>(*serial >> 16),
                static_cast<unsigned>(*serial & 0xFFFFu));
  } else {
    std::printf("volume c: none\n");
  }

  const std::optional<AdapterList> adapters = ListNetworkAdapters();
  if (!adapters) {
    std::printf("adapters none\n");
    return 0;
  }
  for (std::size_t i = 0; i < adapters->count; ++i) {
    const AdapterRecord& record = adapters->records[i];
    const auto& a = record.address;
    std::printf("adapter %02X-%02X-%02X-%02X-%02X-%02X %.*s\n", a[0], a[1], a[2], a[3], a[4], a[5],
                static_cast<int>(strnlen(record.description.data(), record.description.size())),
                record.description.data());
  }
  return 0;
}

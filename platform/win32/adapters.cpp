#include "platform/adapters.h"

// The IP Helper header needs the socket types declared first.
#include <winsock2.h>

#include <iphlpapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/win32/adapter_buffer.h"

namespace nodmark::platform {
namespace win32 {
namespace {

static_assert(sizeof(IP_ADAPTER_INFO) == kAdapterRecordSize,
              "the buffer holds exactly kMaxAdapters records in either architecture");
static_assert(sizeof(IP_ADAPTER_INFO::Description) == kAdapterDescriptionSize,
              "the description is copied whole");
static_assert(sizeof(IP_ADAPTER_INFO::Address) >= kAdapterAddressSize,
              "the record holds at least six address bytes");

// A record counts as inside the buffer when every field read from it is: everything up
// to and including Type (Next, Description, Address and Type come first in the record).
constexpr std::size_t kRecordBytesRead =
    offsetof(IP_ADAPTER_INFO, Type) + sizeof(IP_ADAPTER_INFO::Type);

bool RecordInsideBuffer(const IP_ADAPTER_INFO* record, const unsigned char* begin,
                        std::size_t size) {
  // Compared as integers: pointers into different objects have no defined order.
  const auto first = reinterpret_cast<std::uintptr_t>(begin);
  const auto at = reinterpret_cast<std::uintptr_t>(record);
  return at >= first && at - first <= size && size - (at - first) >= kRecordBytesRead &&
         at % alignof(IP_ADAPTER_INFO) == 0;
}

}  // namespace

std::optional<AdapterList> CopyAdapterChain(const void* buffer, std::size_t bufferSize) {
  const auto* begin = static_cast<const unsigned char*>(buffer);
  AdapterList list;
  for (auto* record = static_cast<const IP_ADAPTER_INFO*>(buffer); record != nullptr;
       record = record->Next) {
    // The OS links its records inside the buffer it was given; a chain that leaves it,
    // or that is longer than the buffer could hold, is not a listing to trust.
    if (list.count == kMaxAdapters || !RecordInsideBuffer(record, begin, bufferSize)) {
      return std::nullopt;
    }
    AdapterRecord& copy = list.records[list.count++];
    std::memcpy(copy.description.data(), record->Description, kAdapterDescriptionSize);
    // The first six address bytes whatever AddressLength says, as every peer takes them.
    std::copy_n(record->Address, kAdapterAddressSize, copy.address.begin());
    // The listing tells wireless adapters by their type; it says nothing of the bus.
    copy.wireless = record->Type == IF_TYPE_IEEE80211;
  }
  return list;
}

}  // namespace win32

std::optional<AdapterList> ListNetworkAdapters() {
  // One call into a fixed buffer on the stack: no heap, no retry with the size the
  // call asks for. A machine with more adapters than fit gets no listing at all, which
  // keeps the chosen adapter the same as the peers' that use the same buffer.
  alignas(IP_ADAPTER_INFO) unsigned char buffer[win32::kAdapterBufferSize] = {};
  ULONG size = sizeof buffer;
  if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return win32::CopyAdapterChain(buffer, sizeof buffer);
}

}  // namespace nodmark::platform

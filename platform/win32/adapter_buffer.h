#ifndef NODMARK_PLATFORM_WIN32_ADAPTER_BUFFER_H_
#define NODMARK_PLATFORM_WIN32_ADAPTER_BUFFER_H_

#include <cstddef>
#include <optional>

#include "platform/adapters.h"
#include "platform/win32/architecture.h"

namespace nodmark::platform::win32 {

// Bytes of the one buffer the adapter listing goes into: room for exactly twelve records
// (7,680 bytes in the 32-bit build, 8,448 in the 64-bit one), so that both builds accept
// the same listings. Lists that do not fit fail; there is no second, larger attempt.
inline constexpr std::size_t kAdapterBufferSize = kMaxAdapters * kAdapterRecordSize;

// The records of a buffer that GetAdaptersInfo filled successfully: the chain of
// IP_ADAPTER_INFO records that starts at `buffer` and follows `Next` until null.
// nullopt when the chain holds more than kMaxAdapters records or a record lies outside
// the buffer. Reads no byte outside [buffer, buffer + bufferSize).
std::optional<AdapterList> CopyAdapterChain(const void* buffer, std::size_t bufferSize);

}  // namespace nodmark::platform::win32

#endif  // NODMARK_PLATFORM_WIN32_ADAPTER_BUFFER_H_

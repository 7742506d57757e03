#ifndef NODMARK_CORE_BYTE_STRING_H_
#define NODMARK_CORE_BYTE_STRING_H_

#include <cstdint>
#include <vector>

namespace nodmark {

// Raw bytes from a machine source; may hold zero bytes. Texts (identifiers, names,
// values) are std::string holding single-byte characters of the ANSI code page.
using ByteString = std::vector<std::uint8_t>;

}  // namespace nodmark

#endif  // NODMARK_CORE_BYTE_STRING_H_

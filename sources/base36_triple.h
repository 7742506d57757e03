#ifndef NODMARK_SOURCES_BASE36_TRIPLE_H_
#define NODMARK_SOURCES_BASE36_TRIPLE_H_

#include <cstdint>
#include <string>

namespace nodmark::sources {

// Three base-36 digits (0-9, then A-Z), least significant first, of `number` reduced
// modulo 46655 (not 36^3): 0 gives "000", 82 gives "A20", 46654 gives "YZZ" and 46655
// gives "000" again, so "ZZZ", the store's failure value, never results.
std::string EncodeBase36Triple(std::uint32_t number);

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_BASE36_TRIPLE_H_

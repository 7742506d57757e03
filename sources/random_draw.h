#ifndef NODMARK_SOURCES_RANDOM_DRAW_H_
#define NODMARK_SOURCES_RANDOM_DRAW_H_

#include <cstdint>

namespace nodmark::sources {

// The linear congruential generator that peers draw with: seeding sets the state to
// the seed; a draw sets state = state * 214013 + 2531011 (mod 2^32) and yields
// (state >> 16) & 0x7FFF. This is the generator's first output after seeding with
// `seed`, 0 to 32767 (seed 1 gives 41). The project's own code rather than the C
// library's rand(), whose algorithm and per-thread or global state differ between
// runtimes.
std::uint32_t FirstGeneratorOutput(std::uint32_t seed);

// The first output after seeding with the tick count plus the first output after
// seeding with the calendar time in seconds (cut to 32 bits): 0 to 65534. Keeps no
// state; thread-safe.
std::uint32_t DrawRandomNumber();

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_RANDOM_DRAW_H_

#ifndef NODMARK_TOOLS_SEEDING_SEED_STORE_H_
#define NODMARK_TOOLS_SEEDING_SEED_STORE_H_

// nodmark --seed-store: makes sure the store file holds the machine's random
// identifier, as the component's first use would (the same read, machine-wide lock,
// draw and write), and tells by its exit status whether it does afterwards. The
// installer packages run it elevated, so that hosts without the right to write the
// store file (standard users) find a value kept for everyone. A present value is never
// replaced; only a missing one or "000" is drawn and written.
namespace nodmark::tools {

// Exit statuses of --seed-store. 1 and 2 are the tool's own (an unexpected error, a
// wrong command line); the others name why the store holds no kept value.
inline constexpr int kSeedKept = 0;               // a value was there, or was drawn and written now
inline constexpr int kSeedWriteFailed = 3;        // drawn, but the file could not be written
inline constexpr int kSeedEmptyValue = 4;         // the key holds an empty value, left as is
inline constexpr int kSeedNoSystemDirectory = 5;  // the OS named no system directory

// Resolves the store once and answers one of the statuses above. Prints nothing.
int SeedStore();

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_SEEDING_SEED_STORE_H_

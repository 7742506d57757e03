#ifndef NODMARK_SOURCES_RANDOM_ID_STORE_H_
#define NODMARK_SOURCES_RANDOM_ID_STORE_H_

#include <cstddef>
#include <optional>
#include <string>

// The store file that keeps the machine's random identifier: "pub_store.dat" in the
// system directory, a private-profile file with the value under key "rand" of
// section "nodmark". Shared by every user and process of the machine; not locked.
namespace nodmark::sources {

inline constexpr char kStoreFileName[] = "pub_store.dat";
inline constexpr char kStoreSection[] = "nodmark";
inline constexpr char kStoreKey[] = "rand";
// What a read gives for a missing file, section or key; a stored "000" counts as
// missing too and is replaced.
inline constexpr char kAbsentRandomId[] = "000";
// The result whenever no value can be read or stored; a draw never produces it.
inline constexpr char kFailedRandomId[] = "ZZZ";
// Values are read into a buffer of this many characters, terminator included, so at
// most 2047 characters of a longer value come back.
inline constexpr std::size_t kStoreReadCapacity = 2048;

// How a call came by its value.
enum class StoreOutcome {
  kNoSystemDirectory,  // "ZZZ"; nothing read or written
  kEmptyValue,         // "ZZZ"; the key holds an empty value, left as it is
  kValueRead,          // the stored value, unchanged and not rewritten
  kValueWritten,       // a newly drawn value, now stored
  kWriteFailed,        // "ZZZ"; a value was drawn but could not be stored
};

struct StoredRandomIdReport {
  std::string value;     // never empty
  std::string filePath;  // empty when there is no system directory
  StoreOutcome outcome = StoreOutcome::kNoSystemDirectory;
};

// The store file's full path, or nullopt without a system directory. Touches no file.
std::optional<std::string> LocateStoreFile();

// What ReadStoredRandomId does (it may draw a value and create or update the store
// file), and which file it used and how it came by the value.
StoredRandomIdReport ResolveStoredRandomId();

// A short English phrase for an outcome ("read from the store file", ...).
const char* DescribeStoreOutcome(StoreOutcome outcome);

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_RANDOM_ID_STORE_H_

#ifndef NODMARK_SOURCES_RANDOM_ID_STORE_H_
#define NODMARK_SOURCES_RANDOM_ID_STORE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The store file that keeps the machine's random identifier: "pub_store.dat" in the
// system directory, a private-profile file with the value under key "rand" of
// section "nodmark". Shared by every user and process of the machine. Reading a
// present value takes no lock; finding none, a caller takes the machine-wide lock
// (platform/machine_lock.h) and reads again before it draws and writes, so that
// processes starting together on a new machine all come away with one value.
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

// How long a caller that found no value waits for the machine-wide lock before it
// goes on without it. The holder only reads, draws and writes a file of a few bytes:
// milliseconds, and well under a second on a machine busy with a logon and a virus
// scanner that looks at the write. Three seconds leave a wide margin over that, so a
// holder at work is waited for, and keep a host whose window thread waits on a lock
// that another process squats below the five seconds after which Windows calls the
// window not responding. Only a store without a value ever waits.
inline constexpr std::uint32_t kStoreLockTimeoutMilliseconds = 3000;

// How a call came by its value.
enum class StoreOutcome {
  kNoSystemDirectory,   // "ZZZ"; nothing read or written
  kEmptyValue,          // "ZZZ"; the key holds an empty value, left as it is
  kValueRead,           // the stored value, unchanged and not rewritten
  kValueReadAfterWait,  // as kValueRead, but stored by another process while this one
                        // waited for the lock, after finding no value
  kValueWritten,        // a newly drawn value, now stored
  kWriteFailed,         // "ZZZ"; a value was drawn but could not be stored
};

// How the machine-wide lock went. Only a call that finds no value asks for it, and it
// is released before the call returns.
enum class StoreLock {
  kNotNeeded,    // the first read settled the call (or there is no system directory)
  kTaken,        // taken, then released
  kTakenOver,    // taken from a process that ended holding it, then released
  kTimedOut,     // another process held it longer than kStoreLockTimeoutMilliseconds
  kUnavailable,  // could not be created or opened
};

struct StoredRandomIdReport {
  std::string value;     // never empty
  std::string filePath;  // the path opened; empty when there is no system directory
  StoreOutcome outcome = StoreOutcome::kNoSystemDirectory;
  StoreLock lock = StoreLock::kNotNeeded;
};

// The store file's full path as the machine names the place where it lies (see
// platform::QuerySystemDirectoryLocation), for people to find; nullopt without a
// system directory. Both Windows builds name one file. Touches no file.
std::optional<std::string> LocateStoreFile();

// What ReadStoredRandomId does (it may draw a value and create or update the store
// file), and which file it used and how it came by the value.
StoredRandomIdReport ResolveStoredRandomId();

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_RANDOM_ID_STORE_H_

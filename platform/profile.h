#ifndef NODMARK_PLATFORM_PROFILE_H_
#define NODMARK_PLATFORM_PROFILE_H_

#include <cstddef>
#include <string>

// Private-profile (INI) files: one value per section and key, names compared without
// regard to letter case. Neither function takes a lock; concurrent writers to one
// file each replace it whole, and the last one wins.
namespace nodmark::platform {

// The value of `key` in `section` of the file at `path`, or `defaultValue` when the
// file, the section or the key is missing. Either is cut to `capacity - 1`
// characters, as a buffer of `capacity` characters with its terminator would hold
// it; the returned length is the count of characters the platform copied, so a key
// present with an empty value gives "".
std::string ReadProfileValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity,
                             const std::string& path);

// Stores `value` as `key` of `section` in the file at `path`, creating the file and
// the section when they are missing and keeping every other section, key and line.
// False when the value cannot be stored (for example the directory is not writable,
// or a name or the value holds a line break); the file is then left as it was.
bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_PROFILE_H_

#ifndef NODMARK_TESTS_FAKE_FAKE_PROFILE_H_
#define NODMARK_TESTS_FAKE_FAKE_PROFILE_H_

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace nodmark::fake {

// Profile files of the scripted machine, in memory: path -> section -> key -> value,
// names matched exactly. Reads follow the profile functions (default for anything
// missing, value cut to capacity - 1); writes create what is missing unless
// `refuseWrites` is set, in which case they change nothing and answer false.
struct ProfileScript {
  using Section = std::map<std::string, std::string>;
  using File = std::map<std::string, Section>;
  std::map<std::string, File> files;
  bool refuseWrites = false;

  int reads = 0;
  int writes = 0;  // attempts, refused ones included
  std::string lastReadPath;
  std::string lastWritePath;
  std::size_t lastCapacity = 0;

  // The stored value, or nullopt when the file, section or key is missing.
  std::optional<std::string> Value(const std::string& path, const std::string& section,
                                   const std::string& key) const;
};

ProfileScript& Profiles();
ProfileScript& ResetProfiles();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_PROFILE_H_

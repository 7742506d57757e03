#include "fake/fake_profile.h"

#include "platform/profile.h"

namespace nodmark::fake {

ProfileScript& Profiles() {
  static ProfileScript script;
  return script;
}

ProfileScript& ResetProfiles() { return Profiles() = ProfileScript(); }

std::optional<std::string> ProfileScript::Value(const std::string& path, const std::string& section,
                                                const std::string& key) const {
  const auto file = files.find(path);
  if (file == files.end()) return std::nullopt;
  const auto found = file->second.find(section);
  if (found == file->second.end()) return std::nullopt;
  const auto entry = found->second.find(key);
  if (entry == found->second.end()) return std::nullopt;
  return entry->second;
}

}  // namespace nodmark::fake

namespace nodmark::platform {

std::string ReadProfileValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity,
                             const std::string& path) {
  fake::ProfileScript& script = fake::Profiles();
  ++script.reads;
  script.lastReadPath = path;
  script.lastCapacity = capacity;
  if (capacity == 0) return {};
  std::string value = script.Value(path, section, key).value_or(defaultValue);
  if (value.size() > capacity - 1) value.resize(capacity - 1);
  return value;
}

bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  fake::ProfileScript& script = fake::Profiles();
  ++script.writes;
  script.lastWritePath = path;
  if (script.refuseWrites) return false;
  script.files[path][section][key] = value;
  return true;
}

}  // namespace nodmark::platform

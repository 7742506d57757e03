#ifndef NODMARK_FILTER_FILTER_LIST_STORE_H_
#define NODMARK_FILTER_FILTER_LIST_STORE_H_

#include <cstdint>
#include <string>

namespace nodmark::filter {

// Process-wide store of named sections of verified key/value texts, consulted by the
// adapter source for its address filter list.
class FilterListStore {
 public:
  // The one store of the process, created on first use and never destroyed.
  static FilterListStore& Instance();

  virtual ~FilterListStore() = default;

  // The path found in the registry at creation, or empty.
  const std::string& FilePath() const { return filePath; }

  // The value under `key` in `section` when its check value verifies, else
  // `defaultValue`. Never fails and never adds a section or key.
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue);
  std::int32_t GetInt(const std::string& section, const std::string& key,
                      std::int32_t defaultValue);

 private:
  FilterListStore() = default;

  std::string filePath;
};

}  // namespace nodmark::filter

#endif  // NODMARK_FILTER_FILTER_LIST_STORE_H_

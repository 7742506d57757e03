#ifndef NODMARK_FILTER_FILTER_LIST_STORE_H_
#define NODMARK_FILTER_FILTER_LIST_STORE_H_

#include <cstdint>
#include <map>
#include <string>

#include "platform/process_singleton.h"

namespace nodmark::filter {

struct FilterListStoreTesting;

// Process-wide store of named sections of verified key/value texts, consulted by the
// adapter source for its address filter list. A value counts only when the companion
// section (the section's name followed by "_e") holds, under the same key, its check
// value: the salted SHA-1 digest of the value followed by the key. Nothing in the
// component adds entries, so every lookup answers its default; the store's path only
// tells the adapter source whether to consult it at all.
class FilterListStore {
 public:
  // The one store of the process, created on the first call (which reads the registry
  // value "Path", once per process) and kept until the module that holds it goes. Safe
  // when several threads make the first call at once: one store is created and every
  // caller gets it complete. May throw std::bad_alloc on the first call, and then
  // creates nothing.
  static FilterListStore& Instance();

  // Destroys the store, if there is one; the next Instance() creates a new one. No
  // other thread may be using the store then. The module's static objects do the same
  // when they are destroyed.
  static void ReleaseInstance() noexcept;

  virtual ~FilterListStore() = default;
  FilterListStore(const FilterListStore&) = delete;
  FilterListStore& operator=(const FilterListStore&) = delete;

  // The path found in the registry at creation ("...\Program\stat.dat"), or empty. It
  // never changes afterwards, so reading it needs no lock.
  const std::string& FilePath() const { return filePath; }

  // The value under `key` in `section` when its check value verifies, else
  // `defaultValue`. Never fails and never adds a section or key. Thread-safe.
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue) const;

  // GetString with `defaultValue` in decimal, read back as a number the way the C
  // library's atol reads it: leading white space, one optional sign, digits up to the
  // first other character; no digits give 0. Values beyond the 32-bit range give the
  // nearest limit. Thread-safe.
  std::int32_t GetInt(const std::string& section, const std::string& key,
                      std::int32_t defaultValue) const;

 private:
  using Section = std::map<std::string, std::string>;

  // Runs LocateFile.
  FilterListStore();

  // The 40 upper-case hex digits of SHA-1 over the salt followed by `text`.
  static std::string ComputeCheckValue(const std::string& text);

  // Sets filePath from the registry value "Path": the text up to its last backslash,
  // followed by "Program\stat.dat". Leaves it empty when there is no usable value.
  void LocateFile();

  // Looks `key` up in `section` without creating either; null when absent.
  const std::string* Find(const std::string& section, const std::string& key) const;

  // Tests reach the store's insides through this seam, and only tests define it.
  friend struct FilterListStoreTesting;

  // The store of the process; see Instance.
  static platform::ProcessSingleton<FilterListStore> instance;

  std::string filePath;
  std::map<std::string, Section> sections;
};

}  // namespace nodmark::filter

#endif  // NODMARK_FILTER_FILTER_LIST_STORE_H_

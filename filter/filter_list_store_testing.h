#ifndef NODMARK_FILTER_FILTER_LIST_STORE_TESTING_H_
#define NODMARK_FILTER_FILTER_LIST_STORE_TESTING_H_

#include <cstddef>
#include <memory>
#include <string>

#include "filter/filter_list_store.h"

namespace nodmark::filter {

// Test-only access to FilterListStore. The component has no way to add entries to the
// store, and must not get one: so these functions are declared here but defined only in
// the tests' own sources (tests/filter/filter_list_store_testing.cpp). Code of the
// component that called any of them would fail to link. A friend struct, rather than
// public members behind a build flag, keeps the production class free of test entry
// points while letting tests preload entries and start from a fresh store.
struct FilterListStoreTesting {
  // Whether Instance() has created the process's store.
  static bool InstanceExists();

  // A new store, not the process's one, created as Instance() creates it (LocateFile
  // runs).
  static std::unique_ptr<FilterListStore> CreateDetachedStore();

  // Stores `value` under `key` in `section`, and its check value in the companion
  // section, so that GetString answers `value`.
  static void AddVerifiedEntry(FilterListStore& store, const std::string& section,
                               const std::string& key, const std::string& value);

  // Stores `text` under `key` in `section` as it is (a value or a check value).
  static void AddRawEntry(FilterListStore& store, const std::string& section,
                          const std::string& key, const std::string& text);

  static std::size_t SectionCount(const FilterListStore& store);
  static std::size_t KeyCount(const FilterListStore& store);

  // The check value the store expects for `text` (a value followed by its key).
  static std::string CheckValue(const std::string& text);
};

}  // namespace nodmark::filter

#endif  // NODMARK_FILTER_FILTER_LIST_STORE_TESTING_H_

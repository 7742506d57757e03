// The only definition of the store's test seam; see filter/filter_list_store_testing.h.
#include "filter/filter_list_store_testing.h"

namespace nodmark::filter {

bool FilterListStoreTesting::InstanceExists() { return FilterListStore::instance.Exists(); }

std::unique_ptr<FilterListStore> FilterListStoreTesting::CreateDetachedStore() {
  return std::unique_ptr<FilterListStore>(new FilterListStore());
}

void FilterListStoreTesting::AddVerifiedEntry(FilterListStore& store, const std::string& section,
                                              const std::string& key, const std::string& value) {
  AddRawEntry(store, section, key, value);
  AddRawEntry(store, section + "_e", key, CheckValue(value + key));
}

void FilterListStoreTesting::AddRawEntry(FilterListStore& store, const std::string& section,
                                         const std::string& key, const std::string& text) {
  store.sections[section][key] = text;
}

std::size_t FilterListStoreTesting::SectionCount(const FilterListStore& store) {
  return store.sections.size();
}

std::size_t FilterListStoreTesting::KeyCount(const FilterListStore& store) {
  std::size_t keys = 0;
  for (const auto& section : store.sections) keys += section.second.size();
  return keys;
}

std::string FilterListStoreTesting::CheckValue(const std::string& text) {
  return FilterListStore::ComputeCheckValue(text);
}

}  // namespace nodmark::filter

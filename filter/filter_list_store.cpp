#include "filter/filter_list_store.h"

namespace nodmark::filter {

// Placeholder until the store is built: no path, so the adapter source stays in
// table mode; every lookup answers its default.
FilterListStore& FilterListStore::Instance() {
  static FilterListStore* const store = new FilterListStore();
  return *store;
}

std::string FilterListStore::GetString(const std::string&, const std::string&,
                                       const std::string& defaultValue) {
  return defaultValue;
}

std::int32_t FilterListStore::GetInt(const std::string&, const std::string&,
                                     std::int32_t defaultValue) {
  return defaultValue;
}

}  // namespace nodmark::filter

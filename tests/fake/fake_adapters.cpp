#include "fake/fake_adapters.h"

#include <algorithm>

namespace nodmark::fake {

AdapterScript& Adapters() {
  static AdapterScript script;
  return script;
}

AdapterScript& ResetAdapters() { return Adapters() = AdapterScript(); }

platform::AdapterRecord MakeAdapter(std::string_view description,
                                    std::initializer_list<std::uint8_t> address) {
  platform::AdapterRecord record;
  std::copy_n(description.begin(), std::min(description.size(), record.description.size()),
              record.description.begin());
  std::copy_n(address.begin(), std::min(address.size(), record.address.size()),
              record.address.begin());
  return record;
}

}  // namespace nodmark::fake

namespace nodmark::platform {

std::optional<AdapterList> ListNetworkAdapters() {
  fake::AdapterScript& script = fake::Adapters();
  ++script.listings;
  if (script.fails || script.adapters.empty() || script.adapters.size() > kMaxAdapters) {
    return std::nullopt;
  }
  AdapterList list;
  std::copy(script.adapters.begin(), script.adapters.end(), list.records.begin());
  list.count = script.adapters.size();
  return list;
}

}  // namespace nodmark::platform

#ifndef NODMARK_TESTS_FAKE_FAKE_ADAPTERS_H_
#define NODMARK_TESTS_FAKE_FAKE_ADAPTERS_H_

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/adapters.h"

namespace nodmark::fake {

// The scripted machine's adapters. The listing fails when `fails` is set or when there
// are no adapters, and, like the fixed buffer on Windows, when there are more than
// platform::kMaxAdapters of them.
struct AdapterScript {
  std::vector<platform::AdapterRecord> adapters;
  bool fails = false;
  int listings = 0;
};

AdapterScript& Adapters();
AdapterScript& ResetAdapters();

// A record with `description` (its bytes copied, at most 132, zero-filled after) and
// the six address bytes.
platform::AdapterRecord MakeAdapter(std::string_view description,
                                    std::initializer_list<std::uint8_t> address);

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_ADAPTERS_H_

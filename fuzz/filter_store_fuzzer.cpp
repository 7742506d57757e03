// GetString and GetInt of the filter list store over arbitrary sections, keys, values and
// check values: a value counts only with its check value, a lookup never adds anything,
// and GetInt reads numbers as atol does, saturated to 32 bits.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "fake/fake_registry.h"
#include "filter/filter_list_store.h"
#include "filter/filter_list_store_testing.h"
#include "fuzz/fuzz_check.h"

namespace nodmark::fuzz {
namespace {

using filter::FilterListStoreTesting;

constexpr int kMaxEntries = 8;
constexpr int kMaxLookups = 8;
constexpr std::size_t kMaxTextLength = 48;
constexpr char kCheckSectionSuffix[] = "_e";

// What the store was given, last write winning: (section, key) -> text.
using Contents = std::map<std::pair<std::string, std::string>, std::string>;

// atol's reading, saturated to 32 bits, through the C library as an independent oracle.
std::int32_t LeadingInteger(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, /*base=*/10);
  return static_cast<std::int32_t>(std::clamp<long long>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

const std::string* Lookup(const Contents& contents, const std::string& section,
                          const std::string& key) {
  const auto at = contents.find({section, key});
  return at == contents.end() ? nullptr : &at->second;
}

// The value the contract promises: the stored value (or the default, when none is stored)
// if the companion section holds its check value under the same key, else the default.
std::string Expected(const Contents& contents, const std::string& section, const std::string& key,
                     const std::string& defaultValue) {
  const std::string* stored = Lookup(contents, section, key);
  const std::string& value = stored != nullptr ? *stored : defaultValue;
  const std::string* check = Lookup(contents, section + kCheckSectionSuffix, key);
  if (check == nullptr || *check != FilterListStoreTesting::CheckValue(value + key)) {
    return defaultValue;
  }
  return value;
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  using fuzz::FilterListStoreTesting;
  using fuzz::Require;
  FuzzedDataProvider provider(data, size);

  fake::ResetRegistry();
  const std::unique_ptr<filter::FilterListStore> store =
      FilterListStoreTesting::CreateDetachedStore();
  fuzz::Contents contents;

  const int entries = provider.ConsumeIntegralInRange<int>(0, fuzz::kMaxEntries);
  for (int i = 0; i < entries; ++i) {
    const std::string section = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
    const std::string key = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
    const std::string text = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
    if (provider.ConsumeBool()) {
      FilterListStoreTesting::AddVerifiedEntry(*store, section, key, text);
      contents[{section, key}] = text;
      contents[{section + fuzz::kCheckSectionSuffix, key}] =
          FilterListStoreTesting::CheckValue(text + key);
    } else {
      FilterListStoreTesting::AddRawEntry(*store, section, key, text);
      contents[{section, key}] = text;
    }
  }
  const std::size_t sections = FilterListStoreTesting::SectionCount(*store);
  const std::size_t keys = FilterListStoreTesting::KeyCount(*store);
  Require(keys == contents.size(), "the seam stores what it is given");

  const int lookups = provider.ConsumeIntegralInRange<int>(1, fuzz::kMaxLookups);
  for (int i = 0; i < lookups; ++i) {
    // Half the lookups ask for a stored entry, so verified values are found often.
    std::string section;
    std::string key;
    if (!contents.empty() && provider.ConsumeBool()) {
      auto at = contents.begin();
      std::advance(at, provider.ConsumeIntegralInRange<std::size_t>(0, contents.size() - 1));
      section = at->first.first;
      key = at->first.second;
    } else {
      section = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
      key = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
    }
    const std::string defaultText = provider.ConsumeRandomLengthString(fuzz::kMaxTextLength);
    const std::int32_t defaultNumber = provider.ConsumeIntegral<std::int32_t>();

    Require(store->GetString(section, key, defaultText) ==
                fuzz::Expected(contents, section, key, defaultText),
            "GetString answers the verified value, else the default");
    const std::string asText =
        fuzz::Expected(contents, section, key, std::to_string(defaultNumber));
    Require(store->GetInt(section, key, defaultNumber) == fuzz::LeadingInteger(asText),
            "GetInt reads the answer as atol does, saturated to 32 bits");
  }
  Require(FilterListStoreTesting::SectionCount(*store) == sections &&
              FilterListStoreTesting::KeyCount(*store) == keys,
          "lookups add no section and no key");
  return 0;
}

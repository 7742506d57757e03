// The filter list store's file path from arbitrary bytes of the registry value "Path":
// any type's data, with or without terminators, of any length up to past the capacity.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fake/fake_registry.h"
#include "filter/filter_list_store.h"
#include "filter/filter_list_store_testing.h"
#include "fuzz/fuzz_check.h"

namespace nodmark::fuzz {
namespace {

constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";
constexpr char kInstallPathValue[] = "Path";
constexpr std::size_t kInstallPathCapacity = 260;
constexpr char kStoreFileName[] = "Program\\stat.dat";

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nodmark;
  using fuzz::Require;
  fake::ResetRegistry().values[{fuzz::kInstallKey, fuzz::kInstallPathValue}] =
      std::vector<std::uint8_t>(data, data + size);

  const std::unique_ptr<filter::FilterListStore> store =
      filter::FilterListStoreTesting::CreateDetachedStore();
  const std::string& path = store->FilePath();
  Require(fake::Registry().queries == 1, "the registry is asked once");

  // The text is the data up to its first zero byte; a value past the capacity is missing.
  const std::string text(data, std::find(data, data + size, 0));
  const std::size_t lastBackslash = text.rfind('\\');
  if (size > fuzz::kInstallPathCapacity || lastBackslash == std::string::npos) {
    Require(path.empty(), "no usable value, no path");
    return 0;
  }
  const std::string directory = text.substr(0, lastBackslash + 1);
  Require(path == directory + fuzz::kStoreFileName,
          "the value's directory (up to its last backslash) and Program\\stat.dat");
  return 0;
}

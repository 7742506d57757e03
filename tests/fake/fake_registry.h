#ifndef NODMARK_TESTS_FAKE_FAKE_REGISTRY_H_
#define NODMARK_TESTS_FAKE_FAKE_REGISTRY_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace nodmark::fake {

// The scripted HKEY_LOCAL_MACHINE: values by (subkey, value name), as raw data bytes.
// A query for a value larger than the caller's capacity answers "missing", as the OS
// does when the data does not fit.
struct RegistryScript {
  std::map<std::pair<std::string, std::string>, std::vector<std::uint8_t>> values;
  // How long each query takes, to widen the window in which threads race.
  std::chrono::milliseconds queryDelay{0};

  int queries = 0;
  std::string lastSubkey;
  std::string lastValueName;
  std::size_t lastCapacity = 0;
};

// The script is shared by every thread; queries update it under a lock. Set it up and
// read it back while no query runs.
RegistryScript& Registry();
RegistryScript& ResetRegistry();

// Sets the value's data to the bytes of `text` (plus a terminating zero byte when
// `withTerminator`).
void SetRegistryText(const std::string& subkey, const std::string& valueName,
                     const std::string& text, bool withTerminator = true);

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_REGISTRY_H_

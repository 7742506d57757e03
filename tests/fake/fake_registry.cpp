#include "fake/fake_registry.h"

#include <mutex>
#include <thread>

#include "platform/registry.h"

namespace nodmark::fake {
namespace {

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

RegistryScript& Registry() {
  static RegistryScript script;
  return script;
}

RegistryScript& ResetRegistry() { return Registry() = RegistryScript(); }

void SetRegistryText(const std::string& subkey, const std::string& valueName,
                     const std::string& text, bool withTerminator) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  if (withTerminator) data.push_back(0);
  Registry().values[{subkey, valueName}] = std::move(data);
}

}  // namespace nodmark::fake

namespace nodmark::platform {

std::optional<std::vector<std::uint8_t>> QueryLocalMachineValue(const char* subkey,
                                                                const char* valueName,
                                                                std::size_t capacity) {
  fake::RegistryScript& script = fake::Registry();
  std::chrono::milliseconds delay;
  {
    const std::lock_guard<std::mutex> lock(fake::RegistryMutex());
    ++script.queries;
    script.lastSubkey = subkey;
    script.lastValueName = valueName;
    script.lastCapacity = capacity;
    delay = script.queryDelay;
  }
  if (delay.count() > 0) std::this_thread::sleep_for(delay);

  const std::lock_guard<std::mutex> lock(fake::RegistryMutex());
  const auto value = script.values.find({subkey, valueName});
  if (value == script.values.end() || value->second.size() > capacity) return std::nullopt;
  return value->second;
}

}  // namespace nodmark::platform

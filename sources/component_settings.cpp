#include "sources/component_settings.h"

namespace nodmark::sources {
namespace {

constexpr char kInitialVersionText[] = "5.0.0.72";
constexpr std::uint32_t kInitialTagValue = 4;
constexpr char kInitialCodeText[] = "0000";

// Guards the creation of the instance. A lock of the module's own, made and deleted
// with it: the guard of a function-local static would take a semaphore from the
// runtime that stays in the host after every unload.
platform::RecursiveLock creationLock;

}  // namespace

std::atomic<ComponentSettings*> ComponentSettings::instance{nullptr};

namespace {

// Frees the instance with the module's other static objects: a DLL that hosts load
// and free over and over must not leave one behind per load.
struct SettingsReaper {
  ~SettingsReaper() { ComponentSettings::ReleaseInstance(); }
} const settingsReaper;

}  // namespace

void ComponentSettings::ReleaseInstance() noexcept { delete instance.exchange(nullptr); }

ComponentSettings& ComponentSettings::Instance() {
  // The acquire load pairs with the release store below: a thread that finds the
  // instance here also sees it fully constructed.
  if (ComponentSettings* settings = instance.load(std::memory_order_acquire)) return *settings;

  const auto guard = creationLock.Acquire();
  ComponentSettings* settings = instance.load(std::memory_order_relaxed);
  if (settings == nullptr) {
    settings = new ComponentSettings();
    instance.store(settings, std::memory_order_release);
  }
  return *settings;
}

ComponentSettings::ComponentSettings()
    : versionText(kInitialVersionText), tagValue(kInitialTagValue), codeText(kInitialCodeText) {}

ComponentSettings::~ComponentSettings() = default;

}  // namespace nodmark::sources

#include "sources/component_settings.h"

#include "platform/process_singleton.h"

namespace nodmark::sources {
namespace {

constexpr char kInitialVersionText[] = "5.0.0.72";
constexpr std::uint32_t kInitialTagValue = 4;
constexpr char kInitialCodeText[] = "0000";

platform::RecursiveLock creationLock;
// Destroyed before creationLock: the module's static objects go in reverse order.
platform::ProcessSingleton<ComponentSettings> settings{creationLock};

}  // namespace

ComponentSettings& ComponentSettings::Instance() {
  return settings.Get([] { return new ComponentSettings(); });
}

ComponentSettings::ComponentSettings()
    : versionText(kInitialVersionText), tagValue(kInitialTagValue), codeText(kInitialCodeText) {}

ComponentSettings::~ComponentSettings() = default;

}  // namespace nodmark::sources

#include "sources/component_settings.h"

namespace nodmark::sources {
namespace {

constexpr char kInitialVersionText[] = "5.0.0.72";
constexpr std::uint32_t kInitialTagValue = 4;
constexpr char kInitialCodeText[] = "0000";

}  // namespace

ComponentSettings& ComponentSettings::Instance() {
  // A function-local static is initialised exactly once even when threads race to it,
  // and destroyed with the module's other static objects: a DLL that hosts load and
  // free over and over leaves nothing of it behind.
  static ComponentSettings instance;
  return instance;
}

ComponentSettings::ComponentSettings()
    : versionText(kInitialVersionText), tagValue(kInitialTagValue), codeText(kInitialCodeText) {}

ComponentSettings::~ComponentSettings() = default;

}  // namespace nodmark::sources

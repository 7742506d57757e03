#include "sources/component_settings.h"

namespace nodmark::sources {
namespace {

constexpr char kInitialVersionText[] = "5.0.0.72";
constexpr std::uint32_t kInitialTagValue = 4;
constexpr char kInitialCodeText[] = "0000";

}  // namespace

ComponentSettings& ComponentSettings::Instance() {
  // A function-local static is initialised exactly once even when threads race to
  // it. The object is deliberately never deleted: callers may still reach it while
  // the process unloads.
  static ComponentSettings* const instance = new ComponentSettings();
  return *instance;
}

ComponentSettings::ComponentSettings()
    : versionText(kInitialVersionText), tagValue(kInitialTagValue), codeText(kInitialCodeText) {}

ComponentSettings::~ComponentSettings() = default;

}  // namespace nodmark::sources

#include "sources/machine_sources.h"

namespace nodmark::sources {

// Placeholders until the store file and the settings are built: the failure value
// of the random identifier and the tag of the initial settings.
std::string ReadStoredRandomId() { return "ZZZ"; }
std::string ReadSettingsTag() { return "4"; }

}  // namespace nodmark::sources

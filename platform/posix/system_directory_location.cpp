#include "platform/system_directory.h"

namespace nodmark::platform {

// Linux redirects nothing: the store directory is named as it is opened.
std::optional<std::string> QuerySystemDirectoryLocation() { return QuerySystemDirectory(); }

}  // namespace nodmark::platform

#include "fake/fake_system_directory.h"

#include "platform/system_directory.h"

namespace nodmark::fake {

SystemDirectoryScript& SystemDirectory() {
  static SystemDirectoryScript script;
  return script;
}

SystemDirectoryScript& ResetSystemDirectory() {
  return SystemDirectory() = SystemDirectoryScript();
}

}  // namespace nodmark::fake

namespace nodmark::platform {

std::optional<std::string> QuerySystemDirectory() {
  ++fake::SystemDirectory().queries;
  return fake::SystemDirectory().directory;
}

std::optional<std::string> QuerySystemDirectoryLocation() {
  const fake::SystemDirectoryScript& script = fake::SystemDirectory();
  return script.directory && script.location ? script.location : script.directory;
}

std::string AppendPathComponent(const std::string& directory, std::string_view fileName) {
  return directory + "\\" + std::string(fileName);
}

}  // namespace nodmark::platform

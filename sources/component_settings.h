#ifndef NODMARK_SOURCES_COMPONENT_SETTINGS_H_
#define NODMARK_SOURCES_COMPONENT_SETTINGS_H_

#include <cstdint>
#include <string>

#include "platform/lock.h"

namespace nodmark::sources {

// The component's process-wide settings. Their values are fixed when the one
// instance is created and nothing changes them afterwards, so reading needs no lock.
class ComponentSettings {
 public:
  // The one instance, created by the first call and kept until the module that holds
  // it goes. Safe when several threads make the first call at once: one instance is
  // created and every caller gets it complete. May throw std::bad_alloc on the first
  // call, and then creates nothing.
  static ComponentSettings& Instance();

  virtual ~ComponentSettings();
  ComponentSettings(const ComponentSettings&) = delete;
  ComponentSettings& operator=(const ComponentSettings&) = delete;

  const std::string& VersionText() const { return versionText; }
  std::uint32_t TagValue() const { return tagValue; }
  const std::string& CodeText() const { return codeText; }

  // For whoever changes a setting one day; nothing in the component takes it now.
  platform::RecursiveLock& Lock() { return lock; }

 protected:
  ComponentSettings();

 private:
  platform::RecursiveLock lock;
  std::string versionText;
  std::uint32_t tagValue;
  std::string codeText;
};

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_COMPONENT_SETTINGS_H_

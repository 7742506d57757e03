#include "platform/volume.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cctype>
#include <cstring>
#include <string>

#include "platform/posix/directory.h"

namespace nodmark::platform {
namespace {

// Linux has no drive letters: "c:\" stands for the volume that holds the root file
// system. Its serial is taken, in this order of preference, from
//   1. the file-system UUID under which udev lists the root device in
//      /dev/disk/by-uuid: its first eight hex digits, read as a big-endian number
//      (so a UUID 4300ab12-... gives 0x4300AB12, as a formatting tool would show it);
//   2. the low 32 bits of the file-system id that statvfs reports for "/".
// Both stay the same across boots as long as the root file system is not re-created.
constexpr char kRootPath[] = "/";
constexpr char kUuidDirectory[] = "/dev/disk/by-uuid";
constexpr int kSerialHexDigits = 8;

bool LooksLikeDriveC(const char* rootPath) {
  return rootPath != nullptr && std::tolower(static_cast<unsigned char>(rootPath[0])) == 'c' &&
         rootPath[1] == ':';
}

std::optional<std::uint32_t> SerialFromUuid(const std::string& uuid) {
  std::uint32_t serial = 0;
  int digits = 0;
  for (char c : uuid) {
    if (digits == kSerialHexDigits) break;
    if (c == '-') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const unsigned value = std::isdigit(static_cast<unsigned char>(c))
                               ? static_cast<unsigned>(c - '0')
                               : static_cast<unsigned>(std::tolower(c) - 'a' + 10);
    serial = (serial << 4) | value;
    ++digits;
  }
  if (digits != kSerialHexDigits) return std::nullopt;
  return serial;
}

std::optional<std::uint32_t> SerialOfRootDeviceUuid(dev_t rootDevice) {
  const posix::UniqueDirectory directory(opendir(kUuidDirectory));
  if (!directory) return std::nullopt;
  std::optional<std::uint32_t> serial;
  while (const dirent* entry = readdir(directory.get())) {
    if (entry->d_name[0] == '.') continue;
    const std::string link = std::string(kUuidDirectory) + "/" + entry->d_name;
    struct stat device = {};
    if (stat(link.c_str(), &device) == 0 && S_ISBLK(device.st_mode) &&
        device.st_rdev == rootDevice) {
      serial = SerialFromUuid(entry->d_name);
      if (serial) break;
    }
  }
  return serial;
}

}  // namespace

std::optional<std::uint32_t> QueryVolumeSerial(const char* rootPath) {
  if (!LooksLikeDriveC(rootPath)) return std::nullopt;

  struct stat root = {};
  if (stat(kRootPath, &root) != 0) return std::nullopt;
  if (auto serial = SerialOfRootDeviceUuid(root.st_dev)) return serial;

  struct statvfs fileSystem = {};
  if (statvfs(kRootPath, &fileSystem) != 0) return std::nullopt;
  return static_cast<std::uint32_t>(fileSystem.f_fsid & 0xFFFFFFFFu);
}

}  // namespace nodmark::platform

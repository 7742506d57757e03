#include "platform/adapters.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/directory.h"
#include "platform/posix/net_class_directory.h"

// Linux has no adapter descriptions and no adapter buffer, so this layer builds both
// from what the kernel lists in sysfs:
//   - order: ascending interface index, the order in which the kernel created the
//     interfaces, which holds while they exist (directory order promises nothing);
//   - address: the first six bytes of the "address" file (zero bytes pad a shorter
//     address, such as a tunnel's);
//   - description: the interface name; interfaces that are not backed by hardware get
//     the word "Virtual" in front, so the adapter source's description test skips them
//     as it skips virtual adapters on Windows;
//   - more than twelve interfaces count as failure, as a list that does not fit the
//     fixed buffer does on Windows;
//   - wireless: the interface has a "wireless" or "phy80211" entry; removable bus: its
//     device sits under a USB controller (a "usb" element in its resolved path).
namespace nodmark::platform {
namespace posix {
namespace {

constexpr char kVirtualPrefix[] = "Virtual interface ";
constexpr char kVirtualDevicesPath[] = "/devices/virtual/";
// USB devices sit below a path element named usb1, usb2, ... (the host controller's
// root hub).
constexpr char kUsbPathElement[] = "/usb";

struct Interface {
  long index = 0;
  std::string name;
  bool isVirtual = false;
  bool wireless = false;
  bool removableBus = false;
  std::array<std::uint8_t, kAdapterAddressSize> address{};
};

std::string ReadFirstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

bool PathExists(const std::string& path) {
  struct stat info = {};
  return stat(path.c_str(), &info) == 0;
}

std::optional<long> ReadIndex(const std::string& interfaceDirectory) {
  const std::string text = ReadFirstLine(interfaceDirectory + "/ifindex");
  char* end = nullptr;
  const long index = std::strtol(text.c_str(), &end, /*base=*/10);
  if (text.empty() || end == text.c_str()) return std::nullopt;
  return index;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "02:fc:00:00:00:01" gives 02 FC 00 00 00 01; anything that is not hex pairs
// separated by colons ends the address where it starts.
std::array<std::uint8_t, kAdapterAddressSize> ParseAddress(std::string_view text) {
  std::array<std::uint8_t, kAdapterAddressSize> address{};
  for (std::size_t byte = 0; byte < address.size(); ++byte) {
    const std::size_t at = byte * 3;
    if (at + 2 > text.size()) break;
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) break;
    address[byte] = static_cast<std::uint8_t>(high << 4 | low);
    if (at + 2 < text.size() && text[at + 2] != ':') break;
  }
  return address;
}

// Where the kernel keeps the interface (the class entry is a link to it); empty when
// it cannot be resolved.
std::string ResolvedPath(const std::string& interfaceDirectory) {
  char resolved[PATH_MAX];
  return realpath(interfaceDirectory.c_str(), resolved) != nullptr ? resolved : "";
}

Interface DescribeInterface(const std::string& path, std::string name, long index) {
  Interface interface;
  interface.index = index;
  interface.name = std::move(name);
  const std::string resolved = ResolvedPath(path);
  interface.isVirtual =
      resolved.find(kVirtualDevicesPath) != std::string::npos || !PathExists(path + "/device");
  interface.wireless = PathExists(path + "/wireless") || PathExists(path + "/phy80211");
  interface.removableBus = resolved.find(kUsbPathElement) != std::string::npos;
  interface.address = ParseAddress(ReadFirstLine(path + "/address"));
  return interface;
}

void Describe(const Interface& interface, AdapterRecord& record) {
  std::string description = interface.isVirtual ? kVirtualPrefix + interface.name : interface.name;
  // Keep a terminator, as the OS does for descriptions it writes itself.
  description.resize(std::min(description.size(), kAdapterDescriptionSize - 1));
  std::copy(description.begin(), description.end(), record.description.begin());
}

}  // namespace

std::optional<AdapterList> ListAdaptersIn(const std::string& netClassDirectory) {
  const UniqueDirectory directory(opendir(netClassDirectory.c_str()));
  if (!directory) return std::nullopt;
  std::vector<Interface> interfaces;
  while (const dirent* entry = readdir(directory.get())) {
    if (entry->d_name[0] == '.') continue;
    const std::string path = netClassDirectory + "/" + entry->d_name;
    // An interface that goes away while the directory is read is not listed.
    const std::optional<long> index = ReadIndex(path);
    if (!index) continue;
    interfaces.push_back(DescribeInterface(path, entry->d_name, *index));
  }

  if (interfaces.empty() || interfaces.size() > kMaxAdapters) return std::nullopt;
  std::sort(interfaces.begin(), interfaces.end(), [](const Interface& a, const Interface& b) {
    return a.index != b.index ? a.index < b.index : a.name < b.name;
  });

  AdapterList list;
  for (const Interface& interface : interfaces) {
    AdapterRecord& record = list.records[list.count++];
    Describe(interface, record);
    record.address = interface.address;
    record.wireless = interface.wireless;
    record.removableBus = interface.removableBus;
  }
  return list;
}

}  // namespace posix

std::optional<AdapterList> ListNetworkAdapters() {
  return posix::ListAdaptersIn(posix::kNetClassDirectory);
}

}  // namespace nodmark::platform

#ifndef NODMARK_PLATFORM_POSIX_NET_CLASS_DIRECTORY_H_
#define NODMARK_PLATFORM_POSIX_NET_CLASS_DIRECTORY_H_

#include <optional>
#include <string>

#include "platform/adapters.h"

namespace nodmark::platform::posix {

// Where the kernel lists its network interfaces.
inline constexpr char kNetClassDirectory[] = "/sys/class/net";

// The adapter listing of a directory laid out like /sys/class/net: one entry per
// interface, each with the files "ifindex" and "address" and, for an interface backed
// by a device, the link "device". Interfaces come in ascending ifindex order; their
// description is the interface name, preceded by "Virtual interface " for an interface
// the kernel keeps under devices/virtual (loopback, bridges, veth, tunnels, ifb, ...)
// or that has no device. nullopt when the directory cannot be read, lists no interface
// or more than kMaxAdapters of them.
std::optional<AdapterList> ListAdaptersIn(const std::string& netClassDirectory);

}  // namespace nodmark::platform::posix

#endif  // NODMARK_PLATFORM_POSIX_NET_CLASS_DIRECTORY_H_

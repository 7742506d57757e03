#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/adapters.h"
#include "platform/posix/net_class_directory.h"

namespace nodmark::platform::posix {
namespace {

namespace fs = std::filesystem;

std::string Description(const AdapterRecord& record) {
  return std::string(record.description.data(),
                     strnlen(record.description.data(), record.description.size()));
}

// A directory tree laid out like sysfs: devices/... holds the interfaces, class/net
// links to them. Removed with everything in it when the test ends.
class SysfsTree {
 public:
  SysfsTree() {
    std::string pattern = (fs::temp_directory_path() / "nodmark-sysfs-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;
    fs::create_directories(ClassNet());
  }
  ~SysfsTree() {
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }
  SysfsTree(const SysfsTree&) = delete;
  SysfsTree& operator=(const SysfsTree&) = delete;

  fs::path ClassNet() const { return root_ / "class" / "net"; }

  // `devicePath` is where the kernel keeps the interface, e.g. "devices/virtual/net".
  // A non-empty `address` or `index` is written to its file. Returns its directory.
  fs::path AddInterface(const std::string& name, const std::string& devicePath,
                        const std::string& index, const std::string& address, bool hasDevice) {
    const fs::path directory = root_ / devicePath / name;
    fs::create_directories(directory);
    if (!index.empty()) std::ofstream(directory / "ifindex") << index << "\n";
    std::ofstream(directory / "address") << address << "\n";
    if (hasDevice)
      fs::create_directory_symlink(directory.parent_path().parent_path(), directory / "device");
    fs::create_directory_symlink(fs::path("../..") / devicePath / name, ClassNet() / name);
    return directory;
  }
  void AddPhysical(const std::string& name, const std::string& index, const std::string& address) {
    AddInterface(name, "devices/pci0000:00/0000:00:03.0/net", index, address, true);
  }
  void AddVirtual(const std::string& name, const std::string& index, const std::string& address) {
    AddInterface(name, "devices/virtual/net", index, address, false);
  }

  std::optional<AdapterList> List() const { return ListAdaptersIn(ClassNet().string()); }

 private:
  fs::path root_;
};

TEST(PosixAdapters, InterfacesComeInIndexOrderVirtualOnesMarkedSo) {
  SysfsTree tree;
  tree.AddPhysical("eth0", "4", "02:fc:00:00:00:01");
  tree.AddVirtual("lo", "1", "00:00:00:00:00:00");
  tree.AddVirtual("ifb0", "2", "02:ec:f6:18:b5:7c");
  tree.AddPhysical("wlan0", "3", "AA:BB:CC:DD:EE:FF");
  const auto list = tree.List();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 4u);
  EXPECT_EQ(Description(list->records[0]), "Virtual interface lo");
  EXPECT_EQ(Description(list->records[1]), "Virtual interface ifb0");
  EXPECT_EQ(Description(list->records[2]), "wlan0");
  EXPECT_EQ(Description(list->records[3]), "eth0");
  using Address = std::array<std::uint8_t, 6>;
  EXPECT_EQ(list->records[1].address, (Address{0x02, 0xEC, 0xF6, 0x18, 0xB5, 0x7C}));
  EXPECT_EQ(list->records[2].address, (Address{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  EXPECT_EQ(list->records[3].address, (Address{0x02, 0xFC, 0x00, 0x00, 0x00, 0x01}));
}

TEST(PosixAdapters, InterfaceWithoutDeviceCountsAsVirtual) {
  SysfsTree tree;
  tree.AddInterface("odd0", "devices/platform/net", "1", "02:00:00:00:00:01", false);
  tree.AddInterface("dev0", "devices/platform/net", "2", "02:00:00:00:00:02", true);
  const auto list = tree.List();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 2u);
  EXPECT_EQ(Description(list->records[0]), "Virtual interface odd0");
  EXPECT_EQ(Description(list->records[1]), "dev0");
}

TEST(PosixAdapters, WirelessAndUsbInterfacesAreMarkedSo) {
  SysfsTree tree;
  tree.AddPhysical("eth0", "1", "02:00:00:00:00:01");
  fs::create_directory(tree.AddInterface("wlan0", "devices/pci0000:00/0000:00:14.3/net", "2",
                                         "02:00:00:00:00:02", true) /
                       "wireless");
  fs::create_directory(tree.AddInterface("wlx0", "devices/pci0000:00/0000:00:14.0/usb1/1-2/net",
                                         "3", "02:00:00:00:00:03", true) /
                       "phy80211");
  tree.AddInterface("enx0", "devices/pci0000:00/0000:00:14.0/usb2/2-1/net", "4",
                    "02:00:00:00:00:04", true);
  const auto list = tree.List();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 4u);
  const bool wireless[] = {false, true, true, false};
  const bool usb[] = {false, false, true, true};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(list->records[i].wireless, wireless[i]) << Description(list->records[i]);
    EXPECT_EQ(list->records[i].removableBus, usb[i]) << Description(list->records[i]);
  }
}

TEST(PosixAdapters, AddressesGiveTheirFirstSixBytesZeroPadded) {
  SysfsTree tree;
  tree.AddVirtual("sit0", "1", "00:00:00:00");                    // tunnel: four bytes
  tree.AddPhysical("ib0", "2", "80:00:02:08:fe:80:00:00:00:00");  // longer than six
  tree.AddPhysical("odd", "3", "02:1g:33:44:55:66");              // stops at the bad digit
  tree.AddPhysical("none", "4", "");
  const auto list = tree.List();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 4u);
  using Address = std::array<std::uint8_t, 6>;
  EXPECT_EQ(list->records[0].address, (Address{}));
  EXPECT_EQ(list->records[1].address, (Address{0x80, 0x00, 0x02, 0x08, 0xFE, 0x80}));
  EXPECT_EQ(list->records[2].address, (Address{0x02, 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(list->records[3].address, (Address{}));
}

TEST(PosixAdapters, InterfaceWithoutIndexIsLeftOut) {
  SysfsTree tree;
  tree.AddPhysical("gone0", "", "02:00:00:00:00:01");
  tree.AddPhysical("eth0", "2", "02:00:00:00:00:02");
  const auto list = tree.List();
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->count, 1u);
  EXPECT_EQ(Description(list->records[0]), "eth0");
}

TEST(PosixAdapters, TwelveInterfacesFitThirteenDoNot) {
  SysfsTree tree;
  for (int i = 1; i <= 12; ++i) {
    tree.AddPhysical("eth" + std::to_string(i), std::to_string(i), "02:00:00:00:00:01");
  }
  const auto twelve = tree.List();
  ASSERT_TRUE(twelve.has_value());
  EXPECT_EQ(twelve->count, 12u);
  tree.AddPhysical("eth13", "13", "02:00:00:00:00:01");
  EXPECT_FALSE(tree.List().has_value());
}

TEST(PosixAdapters, NoInterfacesOrNoDirectoryGiveNoListing) {
  SysfsTree tree;
  EXPECT_FALSE(tree.List().has_value());
  EXPECT_FALSE(ListAdaptersIn((tree.ClassNet() / "missing").string()).has_value());
}

TEST(PosixAdapters, ThisMachinesLoopbackIsListedAsVirtual) {
  if (!fs::exists(fs::path(kNetClassDirectory) / "lo")) GTEST_SKIP() << "no loopback in sysfs";
  const std::optional<AdapterList> list = ListNetworkAdapters();
  if (!list) GTEST_SKIP() << "more than twelve interfaces on this machine";
  bool found = false;
  for (std::size_t i = 0; i < list->count; ++i) {
    found = found || Description(list->records[i]) == "Virtual interface lo";
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace nodmark::platform::posix

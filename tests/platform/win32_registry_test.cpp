// Registry reads against Wine's real registry, in the build's own prefix. Each test
// writes the values it reads and removes its keys again.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "filter/filter_list_store_testing.h"
#include "platform/registry.h"
#include "platform/win32/os_handles.h"

namespace nodmark::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kCapacity = 260;

// A key under HKEY_LOCAL_MACHINE that the test creates and deletes, with its tree,
// at the end. `topKey` is the first level the test creates; when it exists already the
// test belongs to someone else's data and is skipped.
class ScratchKey {
 public:
  ScratchKey(const char* topKey, const char* fullKey) : topKey_(topKey) {
    UniqueRegistryKey existing;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, topKey, 0, KEY_READ, existing.put()) == ERROR_SUCCESS) {
      return;
    }
    owned_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, fullKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, key_.put(), nullptr) == ERROR_SUCCESS;
  }
  ~ScratchKey() {
    key_.reset();
    if (owned_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, topKey_);
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  bool owned() const { return owned_; }

  void Set(const char* name, DWORD type, const Bytes& data) {
    ASSERT_EQ(
        RegSetValueExA(key_.get(), name, 0, type, data.data(), static_cast<DWORD>(data.size())),
        ERROR_SUCCESS);
  }
  void SetText(const char* name, const std::string& text) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    Set(name, REG_SZ, data);
  }

 private:
  const char* topKey_;
  UniqueRegistryKey key_;
  bool owned_ = false;
};

constexpr char kTestTop[] = "SOFTWARE\\nodmark registry test";
constexpr char kTestKey[] = "SOFTWARE\\nodmark registry test\\values";

Bytes Terminated(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

TEST(Win32Registry, ValuesComeBackAsTheirRawBytesWhateverTheirType) {
  ScratchKey scratch(kTestTop, kTestKey);
  if (!scratch.owned()) GTEST_SKIP() << "HKLM\\" << kTestTop << " exists already";

  const std::string path = "C:\\Apps\\Client\\client.exe";
  scratch.SetText("text", path);
  scratch.SetText("empty", "");
  scratch.Set("dword", REG_DWORD, {0x41, 0x5C, 0x00, 0x00});
  scratch.Set("binary", REG_BINARY, {0x01, 0x00, 0xFF});
  scratch.Set("nothing", REG_BINARY, {});

  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "text", kCapacity), Terminated(path));
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "empty", kCapacity), Bytes{0});
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "dword", kCapacity), (Bytes{0x41, 0x5C, 0x00, 0x00}));
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "binary", kCapacity), (Bytes{0x01, 0x00, 0xFF}));
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "nothing", kCapacity), Bytes{});
}

TEST(Win32Registry, ValuesOfMoreThanTheCapacityAreMissingNotCut) {
  ScratchKey scratch(kTestTop, kTestKey);
  if (!scratch.owned()) GTEST_SKIP() << "HKLM\\" << kTestTop << " exists already";

  const std::string fits(kCapacity - 1, 'a');  // with its terminator: 260 bytes
  scratch.SetText("text260", fits);
  scratch.SetText("text261", fits + "b");
  scratch.Set("binary260", REG_BINARY, Bytes(kCapacity, 'c'));
  scratch.Set("binary261", REG_BINARY, Bytes(kCapacity + 1, 'c'));
  scratch.Set("binary4000", REG_BINARY, Bytes(4000, 'c'));

  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "text260", kCapacity), Terminated(fits));
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "text261", kCapacity), std::nullopt);
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "binary260", kCapacity), Bytes(kCapacity, 'c'));
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "binary261", kCapacity), std::nullopt);
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "binary4000", kCapacity), std::nullopt);
}

TEST(Win32Registry, MissingKeyOrValueIsMissing) {
  ScratchKey scratch(kTestTop, kTestKey);
  if (!scratch.owned()) GTEST_SKIP() << "HKLM\\" << kTestTop << " exists already";
  EXPECT_EQ(QueryLocalMachineValue(kTestKey, "Path", kCapacity), std::nullopt);
  EXPECT_EQ(QueryLocalMachineValue("SOFTWARE\\nodmark registry test\\absent", "Path", kCapacity),
            std::nullopt);
}

// The filter list store over the real registry, at its real key.
constexpr char kInstallTop[] = "SOFTWARE\\Halvern Network";
constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";

TEST(Win32Registry, StoreTakesItsPathFromTheValuePathOfAnyType) {
  ScratchKey scratch(kInstallTop, kInstallKey);
  if (!scratch.owned()) GTEST_SKIP() << "HKLM\\" << kInstallTop << " belongs to an installation";
  using filter::FilterListStoreTesting;

  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(), "");

  scratch.SetText("Path", "C:\\Apps\\Client\\client.exe");
  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(),
            "C:\\Apps\\Client\\Program\\stat.dat");

  scratch.SetText("Path", "C:\\" + std::string(kCapacity, 'p'));
  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(), "");

  // Bytes 41 5C 00 00 read "A\".
  scratch.Set("Path", REG_DWORD, {0x41, 0x5C, 0x00, 0x00});
  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(), "A\\Program\\stat.dat");

  scratch.Set("Path", REG_BINARY, {0x43, 0x3A, 0x2F, 0x00, 0x5C});
  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(), "");

  Bytes noTerminator(kCapacity, 'q');
  noTerminator[3] = '\\';
  scratch.Set("Path", REG_BINARY, noTerminator);
  EXPECT_EQ(FilterListStoreTesting::CreateDetachedStore()->FilePath(), "qqq\\Program\\stat.dat");
}

}  // namespace
}  // namespace nodmark::platform

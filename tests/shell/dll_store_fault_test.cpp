// The shipped DLL over a store file that another process holds open exclusively, and
// over store files with unexpected content: binary bytes, a line of a megabyte, a value
// with bytes above 0x7F. Every instance is created, reads the same way twice, and the
// file keeps what it held. Each test saves the prefix's store file and puts it back.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "platform/scoped_owner.h"
#include "platform/win32/os_handles.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"
#include "shell/store_file.h"

namespace nodmark::testing {
namespace {

constexpr std::size_t kHexPartLength = 12;
constexpr char kTag[] = "4";
// The longest stored value an instance reads: a buffer of 2048 characters, terminator
// included.
constexpr std::size_t kLongestValue = 2047;
constexpr std::size_t kMegabyte = std::size_t{1} << 20;
constexpr std::size_t kBinaryFileSize = 4096;
constexpr std::uint32_t kBinarySeed = 20240611;
constexpr DWORD kHolderWaitMilliseconds = 30000;

struct Identifiers {
  std::wstring old;
  std::wstring current;  // nodmark_new
  std::wstring complicate;
};

bool IsHexDigits(const std::wstring& text) {
  return text.find_first_not_of(L"0123456789ABCDEF") == std::wstring::npos;
}

std::wstring FromAnsiCodePage(const std::string& bytes) {
  const int units =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), units);
  return wide;
}

class DllStoreFaultTest : public DllClientTest {
 protected:
  // Creates an instance and reads its three properties; every call must succeed.
  std::optional<Identifiers> CreateAndRead() {
    platform::ComPtr<IClassFactory> factory = Factory();
    platform::ComPtr<IGerneralNodmark> object;
    if (!factory) return std::nullopt;
    const HRESULT created = factory->CreateInstance(nullptr, iid, object.put_void());
    EXPECT_EQ(created, S_OK);
    if (created != S_OK) return std::nullopt;
    Identifiers read;
    std::wstring* const fields[] = {&read.old, &read.current, &read.complicate};
    for (std::size_t i = 0; i < std::size(kPropertyGetters); ++i) {
      platform::ScopedBstr value;
      const HRESULT hr = kPropertyGetters[i].read(object.get(), value.put());
      EXPECT_EQ(hr, S_OK) << kPropertyGetters[i].name;
      if (hr != S_OK || value.get() == nullptr) return std::nullopt;
      *fields[i] = std::wstring(value.get(), SysStringLen(value.get()));
    }
    EXPECT_EQ(read.old.size(), 16u);
    EXPECT_TRUE(IsHexDigits(read.old)) << "nodmark_old";
    EXPECT_EQ(read.complicate.size(), 32u);
    EXPECT_TRUE(IsHexDigits(read.complicate)) << "nodmark_complicate";
    return read;
  }

  // The stored value part of nodmark_new: what follows its hex part, before the tag.
  static std::wstring StoredPart(const Identifiers& read) {
    const std::wstring& text = read.current;
    EXPECT_GE(text.size(), kHexPartLength + 2) << "hex part, a value and the tag";
    if (text.size() < kHexPartLength + 2) return {};
    EXPECT_TRUE(IsHexDigits(text.substr(0, kHexPartLength)));
    EXPECT_EQ(text.substr(text.size() - 1), Widen(kTag));
    return text.substr(kHexPartLength, text.size() - kHexPartLength - 1);
  }

  StoreFileBackup backup;
};

// Another process holds the store file open with share mode 0 while instances are made.
class StoreFileHolder {
 public:
  StoreFileHolder() {
    const std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    const std::wstring readyName = L"nodmark_store_ready_" + suffix;
    const std::wstring releaseName = L"nodmark_store_release_" + suffix;
    ready_.reset(CreateEventW(nullptr, /*manualReset=*/TRUE, FALSE, readyName.c_str()));
    release_.reset(CreateEventW(nullptr, /*manualReset=*/TRUE, FALSE, releaseName.c_str()));
    if (!ready_ || !release_) return;

    std::wstring program = NodmarkDllPath();
    program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"store_file_holder.exe");
    std::wstring commandLine = L"\"" + program + L"\" \"" + Widen(kStoreFilePath) + L"\" " +
                               readyName + L" " + releaseName;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
      return;
    }
    process_.reset(started.hProcess);
    platform::UniqueKernelHandle thread(started.hThread);
  }

  ~StoreFileHolder() {
    if (process_) {
      SetEvent(release_.get());
      WaitForSingleObject(process_.get(), kHolderWaitMilliseconds);
    }
  }

  // True once the other process has the file open.
  bool WaitUntilHeld() const {
    if (!process_) return false;
    const HANDLE both[] = {ready_.get(), process_.get()};
    return WaitForMultipleObjects(2, both, FALSE, kHolderWaitMilliseconds) == WAIT_OBJECT_0;
  }

  // Lets the other process close the file and answers its exit code (0 when all went well).
  DWORD Release() {
    SetEvent(release_.get());
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process_.get(), kHolderWaitMilliseconds) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process_.get(), &exitCode);
    }
    process_.reset();
    return exitCode;
  }

 private:
  platform::UniqueKernelHandle ready_;
  platform::UniqueKernelHandle release_;
  platform::UniqueKernelHandle process_;
};

TEST_F(DllStoreFaultTest, StoreFileHeldExclusivelyByAnotherProcess) {
  const std::string stored = "[nodmark]\r\nrand=K7Q\r\n";
  ASSERT_TRUE(WriteStoreFile(stored));
  const std::optional<Identifiers> before = CreateAndRead();
  ASSERT_TRUE(before);
  ASSERT_EQ(StoredPart(*before), L"K7Q");

  StoreFileHolder holder;
  ASSERT_TRUE(holder.WaitUntilHeld()) << "store_file_holder.exe beside the test program";
  std::optional<Identifiers> during;
  for (int i = 0; i < 2; ++i) {
    during = CreateAndRead();
    ASSERT_TRUE(during) << "instance " << i << " while the file is held";
    // The file cannot be opened: the read gives "000", the value drawn then cannot be
    // written, and the identifier carries the failure value rather than a value that
    // would not survive to the next run.
    EXPECT_EQ(StoredPart(*during), L"ZZZ") << "instance " << i;
    EXPECT_EQ(during->current.substr(0, kHexPartLength), before->current.substr(0, kHexPartLength));
    EXPECT_EQ(during->old, before->old);
    EXPECT_EQ(during->complicate, before->complicate);
  }
  EXPECT_EQ(holder.Release(), 0u) << "the other process held the file until released";

  EXPECT_EQ(ReadStoreFile(), stored) << "nothing was written while the file was held";
  const std::optional<Identifiers> after = CreateAndRead();
  ASSERT_TRUE(after);
  EXPECT_EQ(after->current, before->current) << "the stored value is back once released";
}

TEST_F(DllStoreFaultTest, BinaryStoreFileGivesAStableIdentifier) {
  std::mt19937 random(kBinarySeed);
  std::string bytes(kBinaryFileSize, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  bytes[0] = '\x01';  // not a byte-order mark: the file is not taken for UTF-16 text
  ASSERT_TRUE(WriteStoreFile(bytes));

  const std::optional<Identifiers> first = CreateAndRead();
  ASSERT_TRUE(first);
  const std::wstring value = StoredPart(*first);
  EXPECT_FALSE(value.empty());
  EXPECT_LE(value.size(), kLongestValue);
  const std::optional<Identifiers> second = CreateAndRead();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->current, first->current) << "the value stored into the file is read back";
}

TEST_F(DllStoreFaultTest, ValueAmidBinaryBytesIsReadAndTheFileLeftAlone) {
  std::mt19937 random(kBinarySeed);
  std::string noise(kBinaryFileSize, '\0');
  for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
  noise[0] = '\x01';
  const std::string bytes = noise + "\r\n[nodmark]\r\nrand=K7Q\r\n" + noise;
  ASSERT_TRUE(WriteStoreFile(bytes));

  const std::optional<Identifiers> read = CreateAndRead();
  ASSERT_TRUE(read);
  EXPECT_EQ(StoredPart(*read), L"K7Q");
  EXPECT_EQ(ReadStoreFile(), bytes) << "a value was found, so nothing is written";
}

TEST_F(DllStoreFaultTest, MegabyteValueIsCutToTheReadBuffer) {
  const std::string bytes = "[nodmark]\r\nrand=" + std::string(kMegabyte, 'X') + "\r\n";
  ASSERT_TRUE(WriteStoreFile(bytes));
  const std::optional<Identifiers> read = CreateAndRead();
  ASSERT_TRUE(read);
  EXPECT_EQ(StoredPart(*read), std::wstring(kLongestValue, L'X'));
  EXPECT_EQ(ReadStoreFile(), bytes);
}

TEST_F(DllStoreFaultTest, MegabyteLineBeforeTheSectionIsSkipped) {
  const std::string bytes = std::string(kMegabyte, 'J') + "\r\n[nodmark]\r\nrand=K7Q\r\n";
  ASSERT_TRUE(WriteStoreFile(bytes));
  const std::optional<Identifiers> read = CreateAndRead();
  ASSERT_TRUE(read);
  EXPECT_EQ(StoredPart(*read), L"K7Q");
  EXPECT_EQ(ReadStoreFile(), bytes);
}

TEST_F(DllStoreFaultTest, ValueAbove0x7FComesThroughTheAnsiCodePageWhole) {
  const std::string value = "\xC4\xE9\xFC\xDF\xA9\xB5\xD8\xF1";
  const std::string bytes = "[nodmark]\r\nrand=" + value + "\r\n";
  ASSERT_TRUE(WriteStoreFile(bytes));
  const std::optional<Identifiers> read = CreateAndRead();
  ASSERT_TRUE(read);
  const std::wstring expected = FromAnsiCodePage(value);
  ASSERT_EQ(expected.size(), value.size()) << "one character per byte in code page " << GetACP();
  EXPECT_EQ(StoredPart(*read), expected) << "code page " << GetACP();
  EXPECT_EQ(ReadStoreFile(), bytes);
}

}  // namespace
}  // namespace nodmark::testing

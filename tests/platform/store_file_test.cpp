// The stored random identifier through the real platform layer: the profile
// functions under Wine (in the build's own prefix), the Linux profile files natively.
// Under Wine these tests replace the prefix's pub_store.dat in the 32-bit system
// directory; each one saves what was there and puts it back, and the program holds the
// "store_file" lock.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/profile.h"
#include "platform/system_directory.h"
#include "platform/test_system_directory.h"
#include "sources/machine_sources.h"
#include "sources/random_id_store.h"

namespace nodmark::sources {
namespace {

namespace fs = std::filesystem;

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IsDrawnValue(const std::string& value) {
  if (value.size() != 3 || value == "000" || value == "ZZZ") return false;
  for (char c : value) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class StoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = test::PrepareTestSystemDirectory();
    path = platform::AppendPathComponent(directory, kStoreFileName);
    std::error_code error;
    if (fs::is_regular_file(path, error)) saved = ReadWholeFile(path);
    fs::remove_all(path, error);
    ASSERT_FALSE(fs::exists(path)) << path;
  }

  void TearDown() override {
    std::error_code error;
    fs::remove_all(path, error);
    if (saved) std::ofstream(path, std::ios::binary) << *saved;
    test::ReleaseTestSystemDirectory(directory);
  }

  bool Write(const std::string& value) {
    return platform::WriteProfileValue(kStoreSection, kStoreKey, value, path);
  }

  std::string directory;
  std::string path;
  std::optional<std::string> saved;
};

TEST_F(StoreFileTest, FirstCallCreatesTheFileInTheSystemDirectory) {
  // Named where it lies, which both Windows builds name alike.
  const std::optional<std::string> located = LocateStoreFile();
  const std::string location =
      platform::AppendPathComponent(test::TestSystemDirectoryLocation(directory), kStoreFileName);
  ASSERT_TRUE(located.has_value());
  EXPECT_TRUE(EqualsIgnoringCase(*located, location)) << *located << " vs " << location;

  const StoredRandomIdReport report = ResolveStoredRandomId();
  EXPECT_TRUE(IsDrawnValue(report.value)) << report.value;
  EXPECT_EQ(report.outcome, StoreOutcome::kValueWritten);
  ASSERT_TRUE(fs::is_regular_file(path));

  // The section header, then the key with the value, each on its own line.
  const std::string text = ReadWholeFile(path);
  const std::size_t header = text.find("[nodmark]");
  const std::size_t entry = text.find("rand=" + report.value);
  ASSERT_NE(header, std::string::npos) << text;
  ASSERT_NE(entry, std::string::npos) << text;
  EXPECT_LT(header, entry);
  EXPECT_TRUE(text[entry - 1] == '\n') << text;

  const StoredRandomIdReport again = ResolveStoredRandomId();
  EXPECT_EQ(again.value, report.value);
  EXPECT_EQ(again.outcome, StoreOutcome::kValueRead);
}

TEST_F(StoreFileTest, SecondProcessReadsTheSameValue) {
  const std::string value = ReadStoredRandomId();
  ASSERT_TRUE(IsDrawnValue(value)) << value;

  // The reader is built beside this program; the test runs in that directory.
  const std::string output = "store_reader_output.txt";
  const std::string command = std::string(NODMARK_STORE_READER_COMMAND) + " " + output;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(output);
  std::string readValue;
  std::string outcome;
  std::getline(in, readValue);
  std::getline(in, outcome);
  in.close();
  fs::remove(output);
  EXPECT_EQ(readValue, value);
  EXPECT_EQ(outcome, std::to_string(static_cast<int>(StoreOutcome::kValueRead)));
}

TEST_F(StoreFileTest, OtherSectionsAndKeysSurviveTheFirstWrite) {
  ASSERT_TRUE(platform::WriteProfileValue("other", "name", "kept", path));
  ASSERT_TRUE(platform::WriteProfileValue(kStoreSection, "extra", "also kept", path));
  const std::string value = ReadStoredRandomId();
  EXPECT_TRUE(IsDrawnValue(value)) << value;
  EXPECT_EQ(platform::ReadProfileValue("other", "name", "", 64, path), "kept");
  EXPECT_EQ(platform::ReadProfileValue(kStoreSection, "extra", "", 64, path), "also kept");
  EXPECT_EQ(platform::ReadProfileValue(kStoreSection, kStoreKey, "", 64, path), value);
}

TEST_F(StoreFileTest, StoredValuesComeBackAsTheyAreUpTo2047Characters) {
  ASSERT_TRUE(Write("HELLO"));
  EXPECT_EQ(ReadStoredRandomId(), "HELLO");

  ASSERT_TRUE(Write("000"));
  const std::string redrawn = ReadStoredRandomId();
  EXPECT_TRUE(IsDrawnValue(redrawn)) << redrawn;
  EXPECT_EQ(platform::ReadProfileValue(kStoreSection, kStoreKey, "", 64, path), redrawn);

  const std::string long2047(2047, 'L');
  ASSERT_TRUE(Write(long2047));
  EXPECT_EQ(ReadStoredRandomId(), long2047);

  // The read buffer holds 2047 characters and its terminator; the rest is cut.
  const std::string long5000 = std::string(2000, 'A') + std::string(3000, 'B');
  ASSERT_TRUE(Write(long5000));
  EXPECT_EQ(ReadStoredRandomId(), long5000.substr(0, 2047));
}

TEST_F(StoreFileTest, ValueWithALineBreakIsRefusedAndTheFileKept) {
  ASSERT_TRUE(Write("K7Q"));
  const std::string before = ReadWholeFile(path);
  EXPECT_FALSE(Write("A\r\n[injected]\r\nrand=B"));
  EXPECT_FALSE(platform::WriteProfileValue("a\nb", kStoreKey, "v", path));
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_EQ(ReadStoredRandomId(), "K7Q");
}

TEST_F(StoreFileTest, EmptyValueGivesTheFailureValueAndStays) {
  ASSERT_TRUE(Write(""));
  const std::string before = ReadWholeFile(path);
  EXPECT_EQ(ReadStoredRandomId(), "ZZZ");
  EXPECT_EQ(ReadWholeFile(path), before);
}

TEST_F(StoreFileTest, DirectoryWhereTheFileShouldBeGivesTheFailureValue) {
  ASSERT_TRUE(fs::create_directory(path));
  const StoredRandomIdReport report = ResolveStoredRandomId();
  EXPECT_EQ(report.value, "ZZZ");
  EXPECT_EQ(report.outcome, StoreOutcome::kWriteFailed);
  EXPECT_TRUE(fs::is_directory(path));
  const StoredRandomIdReport next = ResolveStoredRandomId();
  EXPECT_EQ(next.value, "ZZZ");
  EXPECT_EQ(next.outcome, StoreOutcome::kWriteFailed);
}

}  // namespace
}  // namespace nodmark::sources

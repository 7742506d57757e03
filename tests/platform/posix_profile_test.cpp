// The Linux profile files through real file I/O, in a private temporary directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/profile.h"

namespace nodmark::platform {
namespace {

namespace fs = std::filesystem;

class PosixProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "nodmark-profile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory = pattern;
    path = (directory / "store" / "pub_store.dat").string();
  }
  void TearDown() override { fs::remove_all(directory); }

  void WriteFile(const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string FileText() const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Read(std::size_t capacity = 2048) const {
    return ReadProfileValue("nodmark", "rand", "000", capacity, path);
  }
  int EntriesInStoreDirectory() const {
    return static_cast<int>(std::distance(fs::directory_iterator(fs::path(path).parent_path()),
                                          fs::directory_iterator()));
  }

  fs::path directory;
  std::string path;
};

TEST_F(PosixProfileTest, MissingFileOrDirectoryGivesTheDefault) {
  EXPECT_EQ(Read(), "000");
  EXPECT_FALSE(fs::exists(fs::path(path).parent_path()));  // reading creates nothing
}

TEST_F(PosixProfileTest, ReadsTheValueCutToTheCapacity) {
  WriteFile("[nodmark]\nrand=HELLO\n");
  EXPECT_EQ(Read(), "HELLO");
  EXPECT_EQ(Read(4), "HEL");
  EXPECT_EQ(Read(1), "");
  EXPECT_EQ(Read(0), "");
  EXPECT_EQ(ReadProfileValue("nodmark", "missing", "DEFAULT", 4, path), "DEF");
}

TEST_F(PosixProfileTest, EmptyValueGivesZeroCharacters) {
  WriteFile("[nodmark]\nrand=\n");
  EXPECT_EQ(Read(), "");
}

TEST_F(PosixProfileTest, WriteCreatesDirectoryAndFileReadableByEveryone) {
  ASSERT_TRUE(WriteProfileValue("nodmark", "rand", "K7Q", path));
  EXPECT_EQ(FileText(), "[nodmark]\nrand=K7Q\n");
  EXPECT_EQ(Read(), "K7Q");
  struct stat status = {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0644u);
  EXPECT_EQ(EntriesInStoreDirectory(), 1);  // no temporary file left behind
}

TEST_F(PosixProfileTest, WriteKeepsEveryOtherLineAndTheFileMode) {
  WriteFile("; note\r\n[a]\r\nb=c\r\n[nodmark]\r\nrand=000\r\nz=1\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(WriteProfileValue("nodmark", "rand", "K7Q", path));
  EXPECT_EQ(FileText(), "; note\r\n[a]\r\nb=c\r\n[nodmark]\r\nrand=K7Q\r\nz=1\r\n");
  struct stat status = {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
}

TEST_F(PosixProfileTest, FailedWriteLeavesTheOldFileIntact) {
  const std::string old = "[nodmark]\nrand=000\n[padding]\nline=" + std::string(100, 'p') + "\n";
  WriteFile(old);
  // A file-size limit below the new text makes the write fail part-way, even for root.
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous = {};
  ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteProfileValue("nodmark", "rand", "K7Q", path);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(written);
  EXPECT_EQ(FileText(), old);
  EXPECT_EQ(EntriesInStoreDirectory(), 1);
}

TEST_F(PosixProfileTest, DirectoryAtThePathReadsAsMissingAndRefusesWrites) {
  fs::create_directories(path);
  EXPECT_EQ(Read(), "000");
  EXPECT_FALSE(WriteProfileValue("nodmark", "rand", "K7Q", path));
  EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(PosixProfileTest, ValueWithALineBreakIsRefused) {
  WriteFile("[nodmark]\nrand=OLD\n");
  EXPECT_FALSE(WriteProfileValue("nodmark", "rand", "A\nB", path));
  EXPECT_EQ(FileText(), "[nodmark]\nrand=OLD\n");
}

}  // namespace
}  // namespace nodmark::platform

#include "platform/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/ini_text.h"
#include "platform/posix/scoped_fd.h"
#include "platform/posix/store_directory.h"
#include "platform/scoped_owner.h"

// Linux has no profile functions: the file is read whole and parsed as INI text,
// and a write replaces it through a temporary file in the same directory, so readers
// never see half a file and a write that fails part-way leaves the old one intact.
namespace nodmark::platform {
namespace {

constexpr mode_t kNewFileMode = 0644;  // machine-wide: every user reads it
constexpr mode_t kPermissionBits = 07777;
// A profile file is a few lines; anything this large is not one and is neither
// parsed nor replaced.
constexpr off_t kMaxProfileFileSize = 16 * 1024 * 1024;
constexpr char kTemporarySuffix[] = ".XXXXXX";
constexpr std::size_t kReadChunk = 4096;

// A temporary file that is removed unless it was renamed into place.
struct TemporaryFileTraits {
  using Handle = std::string;
  static Handle Invalid() noexcept { return {}; }
  static bool IsValid(const Handle& path) noexcept { return !path.empty(); }
  static void Free(const Handle& path) noexcept { ::unlink(path.c_str()); }
};

enum class FileState { kRead, kMissing, kUnusable };

// Reads the regular file at `path` into `text` and its permission bits into `mode`.
// kMissing when there is no file there; kUnusable when something else is there or it
// cannot be read, in which case `text` and `mode` are unchanged.
FileState ReadWholeFile(const std::string& path, std::string& text, mode_t& mode) {
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    return (errno == ENOENT || errno == ENOTDIR) ? FileState::kMissing : FileState::kUnusable;
  }
  struct stat status = {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size > kMaxProfileFileSize) {
    return FileState::kUnusable;
  }
  std::string content;
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileState::kUnusable;
    if (got == 0) break;
    content.append(chunk, static_cast<std::size_t>(got));
    if (content.size() > static_cast<std::size_t>(kMaxProfileFileSize)) return FileState::kUnusable;
  }
  text = std::move(content);
  mode = status.st_mode & kPermissionBits;
  return FileState::kRead;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    written += static_cast<std::size_t>(put);
  }
  return true;
}

std::string ParentDirectory(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a temporary file beside `path`, creating the (last) directory of `path`
// when it is missing, as the store's directory is before its first write.
ScopedOwner<TemporaryFileTraits> CreateTemporaryFile(const std::string& path, ScopedFd& fd) {
  std::string temporary = path + kTemporarySuffix;
  fd.reset(::mkstemp(temporary.data()));
  if (!fd && errno == ENOENT &&
      ::mkdir(ParentDirectory(path).c_str(), posix::kStoreDirectoryMode) == 0) {
    temporary = path + kTemporarySuffix;
    fd.reset(::mkstemp(temporary.data()));
  }
  if (!fd) return {};
  return ScopedOwner<TemporaryFileTraits>(std::move(temporary));
}

}  // namespace

std::string ReadProfileValue(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity,
                             const std::string& path) {
  if (capacity == 0) return {};
  std::string text;
  mode_t mode = kNewFileMode;
  std::optional<std::string> value;
  if (ReadWholeFile(path, text, mode) == FileState::kRead) value = FindIniValue(text, section, key);
  std::string result = value ? std::move(*value) : defaultValue;
  if (result.size() > capacity - 1) result.resize(capacity - 1);
  return result;
}

bool WriteProfileValue(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  std::string text;
  mode_t mode = kNewFileMode;
  if (ReadWholeFile(path, text, mode) == FileState::kUnusable) return false;
  const std::optional<std::string> updated = SetIniValue(text, section, key, value);
  if (!updated) return false;

  ScopedFd fd;
  ScopedOwner<TemporaryFileTraits> temporary = CreateTemporaryFile(path, fd);
  if (!temporary) return false;
  if (::fchmod(fd.get(), mode) != 0 || !WriteAll(fd.get(), *updated) || ::fsync(fd.get()) != 0 ||
      ::close(fd.release()) != 0) {
    return false;
  }
  if (::rename(temporary.get().c_str(), path.c_str()) != 0) return false;
  temporary.release();  // it is the store file now
  return true;
}

}  // namespace nodmark::platform

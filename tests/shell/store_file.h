#ifndef NODMARK_TESTS_SHELL_STORE_FILE_H_
#define NODMARK_TESTS_SHELL_STORE_FILE_H_

#include <optional>
#include <string>

#include "platform/win32/architecture.h"

// The Wine prefix's store file as the shipped DLLs of both architectures read and write
// it: in the 32-bit system directory, which a 32-bit process calls system32 and a 64-bit
// one SysWOW64. Test programs that use it hold the CTest resource lock "store_file".
namespace nodmark::testing {

inline constexpr const char* kStoreFilePath = platform::win32::kIs64Bit
                                                  ? "C:\\windows\\syswow64\\pub_store.dat"
                                                  : "C:\\windows\\system32\\pub_store.dat";

// The file's bytes, or nullopt when there is no file.
std::optional<std::string> ReadStoreFile();

// Replaces the file with exactly `bytes`; false when it cannot be written.
bool WriteStoreFile(const std::string& bytes);

// Keeps what the store file held when it was made and puts exactly that back (or removes
// the file, if there was none) when it goes, whatever the test did in between.
class StoreFileBackup {
 public:
  StoreFileBackup();
  ~StoreFileBackup();
  StoreFileBackup(const StoreFileBackup&) = delete;
  StoreFileBackup& operator=(const StoreFileBackup&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_STORE_FILE_H_

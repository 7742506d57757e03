#include "shell/store_file.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace nodmark::testing {

std::optional<std::string> ReadStoreFile() {
  std::ifstream in(kStoreFilePath, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteStoreFile(const std::string& bytes) {
  std::ofstream out(kStoreFilePath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

StoreFileBackup::StoreFileBackup() : saved_(ReadStoreFile()) {}

StoreFileBackup::~StoreFileBackup() {
  if (saved_) {
    WriteStoreFile(*saved_);
  } else {
    DeleteFileA(kStoreFilePath);
  }
}

}  // namespace nodmark::testing

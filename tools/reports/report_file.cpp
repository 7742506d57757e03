#include "tools/reports/report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/reports/saved_report.h"

namespace nodmark::tools {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw UnreadableReport(path + ": " + what);
}

}  // namespace

std::string ReadReportFile(const std::string& path) {
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) Fail(path, std::string("cannot open: ") + std::strerror(errno));

  // One byte more than a report may have tells a larger file without reading it all.
  std::string text(kMaxReportFileBytes + 1, '\0');
  const std::size_t read = std::fread(text.data(), 1, text.size(), file.get());
  if (std::ferror(file.get())) Fail(path, std::string("cannot read: ") + std::strerror(errno));
  if (read > kMaxReportFileBytes) {
    Fail(path, "larger than " + std::to_string(kMaxReportFileBytes / 1024) +
                   " KiB, which no report is; only that much was read");
  }
  text.resize(read);
  return text;
}

}  // namespace nodmark::tools

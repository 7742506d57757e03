#ifndef NODMARK_TOOLS_REPORTS_REPORT_FILE_H_
#define NODMARK_TOOLS_REPORTS_REPORT_FILE_H_

#include <cstddef>
#include <string>

// Reading a saved report from its file, never more of it than a report can be.
namespace nodmark::tools {

// The most a report file may hold. A report is a few kilobytes (twelve adapters with
// 132-byte descriptions, every byte escaped, stay under 20 KB); a larger file is not
// one, and reading stops here whatever its size.
inline constexpr std::size_t kMaxReportFileBytes = 1024 * 1024;

// The bytes of the file at `path`. Reads at most kMaxReportFileBytes + 1 bytes. Throws
// UnreadableReport (saved_report.h) naming the file when it cannot be opened or read,
// or holds more than kMaxReportFileBytes.
std::string ReadReportFile(const std::string& path);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_REPORTS_REPORT_FILE_H_

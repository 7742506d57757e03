// A saved report read back from arbitrary bytes: it is either refused with one line
// that names the report, or read into a report that compares equal to itself, whose
// comparison renders as text and as JSON that parses again.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tools/comparing/comparison_json.h"
#include "tools/comparing/comparison_text.h"
#include "tools/comparing/report_comparison.h"
#include "tools/reports/json_text.h"
#include "tools/reports/saved_report.h"

namespace nodmark::fuzz {
namespace {

constexpr char kName[] = "report.json";

void ReadAndCompare(std::string_view bytes) {
  tools::SavedReport report;
  try {
    report = tools::ParseSavedReport(bytes, kName);
  } catch (const tools::UnreadableReport& error) {
    const std::string message = error.what();
    Require(message.rfind(std::string(kName) + ": ", 0) == 0, "a refusal names the report");
    Require(message.find('\n') == std::string::npos, "a refusal is one line");
    return;
  }
  const tools::Comparison comparison = tools::CompareReports(report, report);
  Require(comparison.AllSame(), "a report is the same as itself");
  Require(comparison.changes.empty(), "nothing moves between a report and itself");
  Require(!tools::RenderComparisonText(comparison).empty(), "the comparison renders as text");
  const tools::Json json = tools::Json::parse(tools::RenderComparisonJson(comparison), nullptr,
                                              /*allow_exceptions=*/false);
  Require(!json.is_discarded(), "the comparison renders as JSON that parses");
}

}  // namespace
}  // namespace nodmark::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nodmark::fuzz::ReadAndCompare(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}

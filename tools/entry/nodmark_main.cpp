// The command-line tool. Without arguments it prints this machine's three identifiers,
// one per line, as "<property> <value>", and names the random identifier's store file
// on standard error (on Linux it needs root to be created; without it the identifier
// shows ZZZ); with --for APPLICATION it goes on with their three forms for that
// application, as the component's nodmark_old_for and the others give them, in the
// lines every client prints given an application. --explain tells why each identifier
// is what it is and warns of those at risk; --json gives the same as one JSON object,
// with --withhold without the kinds of data its sender keeps back; both add the forms
// for the application after --for. --compare tells what moved between a report saved
// with --json and another, or this machine now. --seed-store, run by the installer
// packages, only makes sure the store file holds a value and says by its exit status
// whether it does. Every mode computes the identifiers at most once, as one instance
// of the component does, and writes nothing but what the component writes.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "identifiers/identifier_set.h"
#include "sources/random_id_store.h"
#include "tools/comparing/comparison_json.h"
#include "tools/comparing/comparison_text.h"
#include "tools/comparing/report_comparison.h"
#include "tools/entry/command_line.h"
#include "tools/explaining/application_forms.h"
#include "tools/explaining/explain_report.h"
#include "tools/explaining/explain_text.h"
#include "tools/explaining/report_contents.h"
#include "tools/explaining/withholding.h"
#include "tools/reports/explain_json.h"
#include "tools/reports/report_file.h"
#include "tools/reports/saved_report.h"
#include "tools/seeding/seed_store.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// --compare: all three identifiers the same, at least one changed, or a report that
// could not be read (nor the comparison written).
constexpr int kExitSame = 0;
constexpr int kExitChanged = 1;
constexpr int kExitUnreadable = 2;

constexpr char kThisMachine[] = "this machine, now";

int PrintIdentifiers(const std::optional<std::string>& application) {
  const nodmark::identifiers::IdentifierSet identifiers;
  const std::string nodmarkOld = identifiers.GetOldIdentifier();
  const std::string nodmarkNew = identifiers.GetNewIdentifier();
  const std::string nodmarkComplicate = identifiers.GetComplicateIdentifier();
  std::printf("nodmark_old %s\n", nodmarkOld.c_str());
  std::printf("nodmark_new %s\n", nodmarkNew.c_str());
  std::printf("nodmark_complicate %s\n", nodmarkComplicate.c_str());
  if (application) {
    const nodmark::tools::ApplicationForms forms =
        nodmark::tools::FormsFor(*application, nodmarkOld, nodmarkNew, nodmarkComplicate);
    std::printf("nodmark_old_for %s\n", forms.nodmarkOldFor.c_str());
    std::printf("nodmark_new_for %s\n", forms.nodmarkNewFor.c_str());
    std::printf("nodmark_complicate_for %s\n", forms.nodmarkComplicateFor.c_str());
  }
  std::fflush(stdout);
  if (const auto storePath = nodmark::sources::LocateStoreFile()) {
    std::fprintf(stderr, "nodmark: random identifier store file: %s\n", storePath->c_str());
  }
  return kExitOk;
}

bool Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0;
}

int PrintReport(const std::string& text) { return Print(text) ? kExitOk : kExitFailure; }

// This machine, read once, with the identifiers' forms for the application if one is named.
nodmark::tools::ExplainReport ExplainFor(const std::optional<std::string>& application) {
  nodmark::tools::ExplainReport report = nodmark::tools::ExplainThisMachine();
  if (application) {
    report.forApplication = nodmark::tools::FormsFor(*application, report.nodmarkOld,
                                                     report.nodmarkNew, report.nodmarkComplicate);
  }
  return report;
}

// nodmark --json --withhold: the kinds are checked before the machine is read, so that
// a wrong one ends the run before anything is written. What the identifiers still give
// of a kind taken out is said on standard error.
int PrintWithheldReport(const std::vector<std::string>& kinds,
                        const std::optional<std::string>& application) {
  using namespace nodmark::tools;
  const WithholdRequest request = ParseWithheldKinds(kinds);
  if (!request.problem.empty()) {
    std::fprintf(stderr, "nodmark: %s\n", request.problem.c_str());
    return kExitUsage;
  }
  const ExplainReport report = ExplainFor(application);
  for (const std::string& note : ShowThroughNotes(report, ReportContents(report) & request.kinds)) {
    std::fprintf(stderr, "nodmark: %s\n", note.c_str());
  }
  return PrintReport(RenderExplainJson(report, request.kinds));
}

int Compare(const nodmark::tools::CommandLine& arguments) {
  using namespace nodmark::tools;
  try {
    // Both files are read before the machine is, so that a report that cannot be read
    // ends the run before anything is written.
    const SavedReport before =
        ParseSavedReport(ReadReportFile(arguments.reports[0]), arguments.reports[0]);
    const SavedReport after =
        arguments.reports.size() == 2
            ? ParseSavedReport(ReadReportFile(arguments.reports[1]), arguments.reports[1])
            : ParseSavedReport(RenderExplainJson(ExplainThisMachine()), kThisMachine);
    const Comparison comparison = CompareReports(before, after);
    if (!Print(arguments.json ? RenderComparisonJson(comparison)
                              : RenderComparisonText(comparison))) {
      std::fputs("nodmark: the comparison could not be written\n", stderr);
      return kExitUnreadable;
    }
    return comparison.AllSame() ? kExitSame : kExitChanged;
  } catch (const UnreadableReport& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return kExitUnreadable;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: the reports could not be compared: %s\n", error.what());
    return kExitUnreadable;
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const nodmark::tools::CommandLine arguments =
        nodmark::tools::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments.problem.empty()) {
      std::fprintf(stderr, "nodmark: %s\n", arguments.problem.c_str());
      std::fputs(nodmark::tools::kUsage, stderr);
      return kExitUsage;
    }
    if (arguments.help) {
      std::fputs(nodmark::tools::kUsage, stdout);
      return kExitOk;
    }
    if (arguments.compare) return Compare(arguments);
    if (arguments.seedStore) return nodmark::tools::SeedStore();
    if (!arguments.explain && !arguments.json) return PrintIdentifiers(arguments.application);
    if (!arguments.withhold.empty()) {
      return PrintWithheldReport(arguments.withhold, arguments.application);
    }
    const nodmark::tools::ExplainReport report = ExplainFor(arguments.application);
    return PrintReport(arguments.explain ? nodmark::tools::RenderExplainText(report)
                                         : nodmark::tools::RenderExplainJson(report));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return kExitFailure;
  }
}

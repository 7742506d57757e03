// The command-line tool. Without arguments it prints this machine's three identifiers,
// one per line, as "<property> <value>", and names the random identifier's store file
// on standard error (on Linux it needs root to be created; without it the identifier
// shows ZZZ). --explain tells why each identifier is what it is and warns of those at
// risk; --json gives the same as one JSON object. --compare tells what moved between a
// report saved with --json and another, or this machine now. --seed-store, run by the
// installer packages, only makes sure the store file holds a value and says by its
// exit status whether it does. Every mode computes the identifiers at most once, as
// one instance of the component does, and writes nothing but what the component
// writes.
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "identifiers/identifier_set.h"
#include "sources/random_id_store.h"
#include "tools/comparing/comparison_json.h"
#include "tools/comparing/comparison_text.h"
#include "tools/comparing/report_comparison.h"
#include "tools/explaining/explain_report.h"
#include "tools/explaining/explain_text.h"
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

constexpr char kUsage[] =
    "usage: nodmark [--explain | --json]\n"
    "       nodmark --compare BEFORE.json [AFTER.json] [--json]\n"
    "       nodmark --seed-store\n"
    "  (no option)  this machine's three identifiers, one per line\n"
    "  --explain    why each identifier is what it is: every adapter's verdict, the\n"
    "               volume serial, processor, firmware text, store file and digest input,\n"
    "               and warnings of identifiers at risk\n"
    "  --json       the same as --explain, as one JSON object; save it to compare later\n"
    "  --compare    what moved between a report saved with --json and AFTER.json, or\n"
    "               this machine now: every identifier same or changed, and every input\n"
    "               that moved and how (with --json, as one JSON object). Exit status 0:\n"
    "               all the same, 1: some changed, 2: a report could not be read\n"
    "  --seed-store make sure the store file holds this machine's random identifier\n"
    "               (draw and write one only where there is none; run elevated), print\n"
    "               nothing. Exit status 0: it holds one, 3: it could not be written,\n"
    "               4: it holds an empty value (left as it is), 5: no system directory\n";

struct Arguments {
  bool explain = false;
  bool json = false;
  bool help = false;
  bool compare = false;
  bool seedStore = false;
  std::vector<std::string> reports;  // after --compare
};

// The arguments, or nullopt after naming what is wrong with them and the usage.
std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  std::string problem;
  for (int i = 1; i < argc && problem.empty(); ++i) {
    const std::string argument = argv[i];
    if (argument == "--explain") {
      arguments.explain = true;
    } else if (argument == "--json") {
      arguments.json = true;
    } else if (argument == "--seed-store") {
      arguments.seedStore = true;
    } else if (argument == "--help") {
      arguments.help = true;
    } else if (argument == "--compare") {
      arguments.compare = true;
      while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
        arguments.reports.emplace_back(argv[++i]);
      }
    } else {
      problem = "unknown argument '" + argument + "'";
    }
  }
  const int modes = arguments.explain + arguments.help + arguments.compare + arguments.seedStore +
                    (arguments.json && !arguments.compare);
  if (problem.empty() && modes > 1) problem = "one option at most, or --compare with --json";
  if (problem.empty() && arguments.compare && arguments.reports.empty()) {
    problem = "--compare needs the report saved before, BEFORE.json";
  }
  if (problem.empty() && arguments.reports.size() > 2) {
    problem = "--compare takes two reports at most";
  }
  if (problem.empty()) return arguments;
  std::fprintf(stderr, "nodmark: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return std::nullopt;
}

int PrintIdentifiers() {
  const nodmark::identifiers::IdentifierSet identifiers;
  std::printf("nodmark_old %s\n", identifiers.GetOldIdentifier().c_str());
  std::printf("nodmark_new %s\n", identifiers.GetNewIdentifier().c_str());
  std::printf("nodmark_complicate %s\n", identifiers.GetComplicateIdentifier().c_str());
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

int Compare(const Arguments& arguments) {
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
    if (argc == 1) return PrintIdentifiers();
    const std::optional<Arguments> arguments = ParseArguments(argc, argv);
    if (!arguments) return kExitUsage;
    if (arguments->help) {
      std::fputs(kUsage, stdout);
      return kExitOk;
    }
    if (arguments->compare) return Compare(*arguments);
    if (arguments->seedStore) return nodmark::tools::SeedStore();
    const nodmark::tools::ExplainReport report = nodmark::tools::ExplainThisMachine();
    return PrintReport(arguments->explain ? nodmark::tools::RenderExplainText(report)
                                          : nodmark::tools::RenderExplainJson(report));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return kExitFailure;
  }
}

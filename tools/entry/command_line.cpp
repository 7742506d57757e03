#include "tools/entry/command_line.h"

#include <string_view>

namespace nodmark::tools {
namespace {

constexpr std::string_view kEndOfOptions = "--";

bool IsOption(std::string_view argument) { return argument.rfind(kEndOfOptions, 0) == 0; }

// Takes a known option; false for one the tool does not know.
bool TakeOption(const std::string& option, CommandLine& line) {
  if (option == "--explain") {
    line.explain = true;
  } else if (option == "--json") {
    line.json = true;
  } else if (option == "--seed-store") {
    line.seedStore = true;
  } else if (option == "--help") {
    line.help = true;
  } else if (option == "--compare") {
    line.compare = true;
  } else {
    return false;
  }
  return true;
}

std::string CombinationProblem(const CommandLine& line) {
  if (!line.compare && !line.reports.empty()) {
    return "unknown argument '" + line.reports.front() + "'";
  }
  const int modes =
      line.explain + line.help + line.compare + line.seedStore + (line.json && !line.compare);
  if (modes > 1) return "one option at most, or --compare with --json";
  if (line.compare && line.reports.empty()) {
    return "--compare needs the report saved before, BEFORE.json";
  }
  if (line.reports.size() > 2) return "--compare takes two reports at most";
  return "";
}

}  // namespace

const char kUsage[] =
    "usage: nodmark [--explain | --json]\n"
    "       nodmark --compare BEFORE.json [AFTER.json] [--json]\n"
    "       nodmark --seed-store\n"
    "  Options and report names may come in any order; after -- every argument is a\n"
    "  report name, even one that begins with --.\n"
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

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size() && line.problem.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !IsOption(argument)) {
      line.reports.push_back(argument);
    } else if (argument == kEndOfOptions) {
      optionsEnded = true;
    } else if (!TakeOption(argument, line)) {
      line.problem = "unknown argument '" + argument + "'";
    }
  }
  if (line.problem.empty()) line.problem = CombinationProblem(line);
  return line;
}

}  // namespace nodmark::tools

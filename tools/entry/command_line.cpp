#include "tools/entry/command_line.h"

#include <string_view>

namespace nodmark::tools {
namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kWithhold = "--withhold";

bool IsOption(std::string_view argument) { return argument.rfind(kEndOfOptions, 0) == 0; }

// The comma-separated kinds, empty ones left out.
void AddKinds(std::string_view list, std::vector<std::string>& kinds) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view kind = list.substr(0, comma);
    if (!kind.empty()) kinds.emplace_back(kind);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
}

// Takes the option at `arguments[i]`, and for --withhold its value; false for an
// option the tool does not know.
bool TakeOption(const std::vector<std::string>& arguments, std::size_t& i, CommandLine& line) {
  const std::string& option = arguments[i];
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
  } else if (option == kWithhold || option.rfind(std::string(kWithhold) + "=", 0) == 0) {
    // The kinds follow after "=", or as the next argument unless that is an option
    // (no kind begins with "--", and "--withhold --json" more likely lacks the kinds).
    std::string_view kinds;
    if (option != kWithhold) {
      kinds = std::string_view(option).substr(kWithhold.size() + 1);
    } else if (i + 1 < arguments.size() && !IsOption(arguments[i + 1])) {
      kinds = arguments[++i];
    }
    const std::size_t before = line.withhold.size();
    AddKinds(kinds, line.withhold);
    if (line.withhold.size() == before) line.problem = "--withhold needs KIND[,KIND...]";
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
  if (!line.withhold.empty() && (!line.json || line.compare)) {
    return "--withhold goes with --json, the report to send";
  }
  return "";
}

}  // namespace

const char kUsage[] =
    "usage: nodmark [--explain | --json [--withhold KIND[,KIND...]]]\n"
    "       nodmark --compare BEFORE.json [AFTER.json] [--json]\n"
    "       nodmark --seed-store\n"
    "  Options and report names may come in any order; after -- every argument is a\n"
    "  report name, even one that begins with --.\n"
    "  (no option)  this machine's three identifiers, one per line\n"
    "  --explain    why each identifier is what it is: every adapter's verdict, the\n"
    "               volume serial, processor, firmware text, store file and digest input,\n"
    "               and warnings of identifiers at risk\n"
    "  --json       the same as --explain, as one JSON object; save it to compare later\n"
    "  --withhold   with --json: leave the named kinds of data out of the report (the\n"
    "               names its \"contains\" lists, such as adapter_descriptions,\n"
    "               firmware_text, store_file_path); says on standard error which still\n"
    "               show through the identifiers\n"
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
    } else if (!TakeOption(arguments, i, line)) {
      line.problem = "unknown argument '" + argument + "'";
    }
  }
  if (line.problem.empty()) line.problem = CombinationProblem(line);
  return line;
}

}  // namespace nodmark::tools

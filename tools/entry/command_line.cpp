#include "tools/entry/command_line.h"

#include <optional>
#include <string_view>

namespace nodmark::tools {
namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kWithhold = "--withhold";
constexpr std::string_view kFor = "--for";
constexpr unsigned char kLastAscii = 0x7F;

bool IsOption(std::string_view argument) { return argument.rfind(kEndOfOptions, 0) == 0; }

// The form is keyed over the name in UTF-8, but a command line comes in the code page
// of the system it runs on (on Windows, the ANSI code page), so only a name whose
// bytes are the same in every one, ASCII, gives the value the component gives.
bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > kLastAscii) return false;
  }
  return true;
}

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

// The value of the option at `arguments[i]` named `name`: after "=", or the next
// argument unless that is an option (no value the tool takes begins with "--", and
// "--withhold --json" more likely lacks the kinds); nullopt when the option is not
// `name`, and an empty value when none follows.
std::optional<std::string_view> OptionValue(const std::vector<std::string>& arguments,
                                            std::size_t& i, std::string_view name) {
  const std::string_view option = arguments[i];
  if (option.rfind(name, 0) != 0) return std::nullopt;
  const std::string_view rest = option.substr(name.size());
  if (!rest.empty()) {
    if (rest.front() != '=') return std::nullopt;
    return rest.substr(1);
  }
  if (i + 1 < arguments.size() && !IsOption(arguments[i + 1])) return arguments[++i];
  return std::string_view();
}

// Takes the option at `arguments[i]`, and for --withhold and --for its value; false
// for an option the tool does not know.
bool TakeOption(const std::vector<std::string>& arguments, std::size_t& i, CommandLine& line) {
  const std::string& option = arguments[i];
  if (const auto kinds = OptionValue(arguments, i, kWithhold)) {
    const std::size_t before = line.withhold.size();
    AddKinds(*kinds, line.withhold);
    if (line.withhold.size() == before) line.problem = "--withhold needs KIND[,KIND...]";
  } else if (const auto application = OptionValue(arguments, i, kFor)) {
    if (line.application) {
      line.problem = "--for takes one APPLICATION";
    } else if (application->empty()) {
      line.problem = "--for needs a non-empty APPLICATION name, such as com.example.invoicing";
    } else if (!IsAscii(*application)) {
      line.problem = "--for takes an APPLICATION name in ASCII; the component takes any other";
    } else {
      line.application = std::string(*application);
    }
  } else if (option == "--explain") {
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
  if (!line.withhold.empty() && (!line.json || line.compare)) {
    return "--withhold goes with --json, the report to send";
  }
  if (line.application && (line.compare || line.seedStore || line.help)) {
    return "--for goes alone, with --explain or with --json";
  }
  return "";
}

}  // namespace

const char kUsage[] =
    "usage: nodmark [--explain | --json [--withhold KIND[,KIND...]]]\n"
    "               [--for APPLICATION]\n"
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
    "  --for        also this machine's three identifiers for APPLICATION, a name the\n"
    "               vendor chooses (such as com.example.invoicing): each the first 16\n"
    "               bytes of HMAC-SHA256 of the name keyed with that identifier, which\n"
    "               cannot be read back to the identifier or the hardware\n"
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

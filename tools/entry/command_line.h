#ifndef NODMARK_TOOLS_ENTRY_COMMAND_LINE_H_
#define NODMARK_TOOLS_ENTRY_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <vector>

// The tool's command line: options and report names in any order, "--" ending the
// options.
namespace nodmark::tools {

// The usage, as printed by --help and after a wrong command line.
extern const char kUsage[];

struct CommandLine {
  bool explain = false;
  bool json = false;
  bool help = false;
  bool compare = false;
  bool seedStore = false;
  std::vector<std::string> reports;        // the names given, in order
  std::vector<std::string> withhold;       // the kinds after --withhold, as given
  std::optional<std::string> application;  // the name after --for: ASCII, never empty
  // What is wrong with the command line, for the user; empty when it is right.
  std::string problem;
};

// Reads the arguments after the program's name. Before "--", an argument that begins
// with "--" is an option and any other a report name ("-" and "-x.json" included, as
// the tool has no short options); after it, every argument is a report name. The
// first of these problems is named: an unknown option, a report name without
// --compare, more than one mode (--compare with --json is one), --compare without a
// report or with more than two, --withhold without --json or without kinds, --for
// without a name, with an empty one or one not in ASCII, twice, or with --compare,
// --seed-store or --help.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace nodmark::tools

#endif  // NODMARK_TOOLS_ENTRY_COMMAND_LINE_H_

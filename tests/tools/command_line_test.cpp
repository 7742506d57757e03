#include "tools/entry/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nodmark::tools {
namespace {

struct LineCase {
  std::vector<std::string> arguments;
  // What was taken, as modes ("c" compare, "j" json, "e" explain, "s" seed-store,
  // "h" help), the reports joined by "|", the kinds to withhold by "+" and the
  // application after "@"; or the problem named.
  const char* taken;
};

std::string Taken(const CommandLine& line) {
  if (!line.problem.empty()) return line.problem;
  std::string taken = std::string(line.compare ? "c" : "") + (line.json ? "j" : "") +
                      (line.explain ? "e" : "") + (line.seedStore ? "s" : "") +
                      (line.help ? "h" : "");
  for (const std::string& report : line.reports) taken += "|" + report;
  for (const std::string& kind : line.withhold) taken += "+" + kind;
  if (line.application) taken += "@" + *line.application;
  return taken;
}

TEST(CommandLine, TakesOptionsAndReportsInAnyOrderUntilDoubleDash) {
  const LineCase cases[] = {
      {{"--compare", "a.json", "--json"}, "cj|a.json"},
      {{"--compare", "--json", "a.json"}, "cj|a.json"},
      {{"a.json", "--json", "b.json", "--compare"}, "cj|a.json|b.json"},
      {{"--compare", "-old.json", "-"}, "c|-old.json|-"},
      {{"--compare", "--", "--json", "a"}, "c|--json|a"},
      {{"--", "--explain"}, "unknown argument '--explain'"},
      {{"--explain"}, "e"},
      {{"--"}, ""},
      {{"--json", "--json"}, "j"},
      {{"--explain", "a.json"}, "unknown argument 'a.json'"},
      {{"--json", "--nope", "--compare"}, "unknown argument '--nope'"},
      {{"--json=x"}, "unknown argument '--json=x'"},
      {{"--explain", "--json"}, "one option at most, or --compare with --json"},
      {{"--compare", "--seed-store", "a"}, "one option at most, or --compare with --json"},
      {{"--json", "--compare"}, "--compare needs the report saved before, BEFORE.json"},
      {{"--compare", "a", "b", "c"}, "--compare takes two reports at most"},
      {{"--withhold=a,,b", "--json", "--withhold", "c"}, "j+a+b+c"},
      {{"--withhold", "--json"}, "--withhold needs KIND[,KIND...]"},
      {{"--json", "--withhold", ","}, "--withhold needs KIND[,KIND...]"},
      {{"--explain", "--withhold", "a"}, "--withhold goes with --json, the report to send"},
      {{"--for", "com.example.a", "--json", "--withhold=b"}, "j+b@com.example.a"},
      {{"--explain", "--for=x y"}, "e@x y"},
      {{"--for", "--json"},
       "--for needs a non-empty APPLICATION name, such as com.example.invoicing"},
      {{"--for="}, "--for needs a non-empty APPLICATION name, such as com.example.invoicing"},
      {{"--for", "a", "--for", "b"}, "--for takes one APPLICATION"},
      {{"--for", "caf\xC3\xA9"},
       "--for takes an APPLICATION name in ASCII; the component takes any other"},
      {{"--for", "a", "--seed-store"}, "--for goes alone, with --explain or with --json"},
      {{"--format"}, "unknown argument '--format'"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Taken(ParseCommandLine(cases[i].arguments)), cases[i].taken) << "case " << i;
  }
}

}  // namespace
}  // namespace nodmark::tools

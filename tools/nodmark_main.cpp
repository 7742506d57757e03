// The command-line tool. Without arguments it prints this machine's three identifiers,
// one per line, as "<property> <value>", and names the random identifier's store file
// on standard error (on Linux it needs root to be created; without it the identifier
// shows ZZZ). --explain tells why each identifier is what it is; --json gives the
// same as one JSON object. Every mode computes the identifiers once, as one instance
// of the component does, and writes nothing but what the component writes.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "identifiers/identifier_set.h"
#include "sources/random_id_store.h"
#include "tools/explain_json.h"
#include "tools/explain_report.h"
#include "tools/explain_text.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "usage: nodmark [--explain | --json]\n"
    "  (no option)  this machine's three identifiers, one per line\n"
    "  --explain    why each identifier is what it is: every adapter's verdict, the\n"
    "               volume serial, processor, firmware text, store file and digest input\n"
    "  --json       the same as --explain, as one JSON object\n";

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

// Names what was wrong with the arguments, then the usage.
int RejectArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--explain") != 0 && std::strcmp(argv[i], "--json") != 0 &&
        std::strcmp(argv[i], "--help") != 0) {
      std::fprintf(stderr, "nodmark: unknown argument '%s'\n", argv[i]);
      break;
    }
    if (i == argc - 1) std::fputs("nodmark: one option at most\n", stderr);
  }
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

int PrintReport(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 1) return PrintIdentifiers();
    if (argc == 2 && std::strcmp(argv[1], "--explain") == 0) {
      return PrintReport(nodmark::tools::RenderExplainText(nodmark::tools::ExplainThisMachine()));
    }
    if (argc == 2 && std::strcmp(argv[1], "--json") == 0) {
      return PrintReport(nodmark::tools::RenderExplainJson(nodmark::tools::ExplainThisMachine()));
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return kExitOk;
    }
    return RejectArguments(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nodmark: %s\n", error.what());
    return kExitFailure;
  }
}

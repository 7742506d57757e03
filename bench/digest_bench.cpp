// Throughput of Md5Context and Sha1Context against OpenSSL's EVP MD5 and SHA-1 on short, medium
// and long messages, with a closing table of ratios ours / OpenSSL (>= 1 means we are at least as
// fast).
//
// OpenSSL chooses its SHA-1 code from the CPU's capabilities once, when it initialises; the
// environment variable OPENSSL_ia32cap, read at that moment, clears capability bits. Our code
// never uses the SHA extensions, so the fair reference is OpenSSL without them. This program
// times OpenSSL's SHA-1 as it is in its own process, then re-executes itself (kChildFlag) once
// per entry of kMaskedVariants with OPENSSL_ia32cap set, and reads the child's figures from its
// stdout. The child's readable report goes to stderr.
//
// Each iteration hashes one whole message (init, update, final). Benchmark flags such as
// --benchmark_min_time are passed on to the children.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/md5.h"
#include "core/sha1.h"

namespace {

using nodmark::core::Md5Context;
using nodmark::core::Sha1Context;

constexpr std::size_t kLargeSize = std::size_t{1} << 20;
constexpr std::size_t kSizes[] = {64, 400, kLargeSize};
constexpr int kRepetitions = 3;  // each figure is the median of this many runs

constexpr char kChildFlag[] = "--openssl-variant=";
constexpr char kCapabilityVariable[] = "OPENSSL_ia32cap";
constexpr char kFigureLinePrefix[] = "FIGURE";

struct MaskedVariant {
  const char* name;  // benchmark name part, "openssl_<what is left>"
  const char* mask;  // value of OPENSSL_ia32cap
  const char* what;  // for the table
};

// Capability bits: second word bit 29 = SHA extensions, bit 5 = AVX2; first word bit 41 = SSSE3,
// bit 60 = AVX. "~" clears the given bits, ":" separates the first word from the second.
constexpr MaskedVariant kMaskedVariants[] = {
    {"openssl_no_shaext", ":~0x20000000", "sha1 vs no SHA ext"},
    {"openssl_scalar", "~0x1000020000000000:~0x20000020", "sha1 vs scalar"},
};
constexpr char kGoalVariant[] = "openssl_no_shaext";

// Lowest ratio ours / OpenSSL wanted (SHA-1 against OpenSSL without SHA extensions).
double GoalRatio(bool md5, std::size_t size) {
  if (size < kLargeSize) return 1.0;
  return md5 ? 0.9 : 0.75;
}

const std::vector<std::uint8_t>& Message() {
  static const std::vector<std::uint8_t> message = [] {
    std::vector<std::uint8_t> bytes(kLargeSize);
    std::uint32_t x = 12345;
    for (auto& byte : bytes) {
      x = x * 1103515245u + 12345u;
      byte = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
  }();
  return message;
}

// Fetched once for the whole run.
struct OpenSslDigests {
  EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
  EVP_MD* sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
  ~OpenSslDigests() {
    EVP_MD_free(md5);
    EVP_MD_free(sha1);
  }
};

template <class Context>
void HashOurs(benchmark::State& state, std::size_t size) {
  const std::uint8_t* data = Message().data();
  Context context;
  std::uint8_t digest[Context::kDigestSize];
  for (auto _ : state) {
    context.Update(data, static_cast<std::uint32_t>(size));
    context.Final(digest);
    benchmark::DoNotOptimize(digest);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void HashOpenSsl(benchmark::State& state, const EVP_MD* md, std::size_t size) {
  const std::uint8_t* data = Message().data();
  EVP_MD_CTX* context = EVP_MD_CTX_new();  // one context, reused for every message
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestSize = 0;
  for (auto _ : state) {
    if (EVP_DigestInit_ex(context, md, nullptr) != 1 ||
        EVP_DigestUpdate(context, data, size) != 1 ||
        EVP_DigestFinal_ex(context, digest, &digestSize) != 1) {
      state.SkipWithError("EVP digest failed");
      break;
    }
    benchmark::DoNotOptimize(digest);
    benchmark::ClobberMemory();
  }
  EVP_MD_CTX_free(context);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// Benchmark names are "<digest>/<implementation>/<size>"; figures are keyed by them.
std::string Name(const std::string& digest, const std::string& implementation, std::size_t size) {
  return digest + "/" + implementation + "/" + std::to_string(size);
}

void Register(const std::string& name, std::function<void(benchmark::State&)> body) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(body))
      ->Repetitions(kRepetitions)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kMicrosecond);
}

// In a child only OpenSSL's SHA-1 runs, under the child's variant name.
void RegisterAll(const OpenSslDigests& openssl, const std::string& childVariant) {
  for (std::size_t size : kSizes) {
    if (childVariant.empty()) {
      Register(Name("md5", "ours", size),
               [size](benchmark::State& s) { HashOurs<Md5Context>(s, size); });
      Register(Name("md5", "openssl", size),
               [&openssl, size](benchmark::State& s) { HashOpenSsl(s, openssl.md5, size); });
      Register(Name("sha1", "ours", size),
               [size](benchmark::State& s) { HashOurs<Sha1Context>(s, size); });
    }
    Register(Name("sha1", childVariant.empty() ? "openssl" : childVariant, size),
             [&openssl, size](benchmark::State& s) { HashOpenSsl(s, openssl.sha1, size); });
  }
}

// Whether a run stopped without figures. Benchmark 1.8 replaced Run::error_occurred with
// Run::skipped; the first overload is taken where Run has the newer member.
template <typename BenchmarkRun>
auto StoppedEarly(const BenchmarkRun& run, int) -> decltype(run.skipped != 0) {
  return run.skipped != 0;
}
template <typename BenchmarkRun>
bool StoppedEarly(const BenchmarkRun& run, long) {
  return run.error_occurred;
}

// The console report as usual, plus the median bytes per second of every benchmark by name.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (StoppedEarly(run, 0)) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto counter = run.counters.find("bytes_per_second");
      if (counter != run.counters.end()) {
        bytesPerSecond[run.run_name.function_name] = counter->second.value;
      }
    }
  }

  std::map<std::string, double> bytesPerSecond;
};

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs this program again with OPENSSL_ia32cap=variant.mask and returns its figures by name.
std::map<std::string, double> RunChild(const MaskedVariant& variant,
                                       const std::vector<std::string>& forwardedArgs) {
  std::map<std::string, double> figures;
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return figures;
  self[length] = '\0';

  std::string command = std::string(kCapabilityVariable) + "=" + ShellQuote(variant.mask) + " " +
                        ShellQuote(self) + " " + kChildFlag + variant.name;
  for (const std::string& arg : forwardedArgs) command += " " + ShellQuote(arg);

  std::fflush(stdout);
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return figures;
  char line[512];
  while (std::fgets(line, sizeof(line), child) != nullptr) {
    char name[256];
    double bytesPerSecond = 0;
    if (std::sscanf(line, "FIGURE %255s %lf", name, &bytesPerSecond) == 2) {
      figures[name] = bytesPerSecond;
    }
  }
  pclose(child);
  return figures;
}

void PrintRow(std::size_t size, const char* label, double ours, double theirs, double goal) {
  constexpr double kMega = 1e6;
  std::printf("%8zu  %-20s", size, label);
  if (ours <= 0 || theirs <= 0) {
    std::printf(" %9s %9s %6s\n", "n/a", "n/a", "n/a");
    return;
  }
  const double ratio = ours / theirs;
  std::printf(" %9.1f %9.1f %6.2f", ours / kMega, theirs / kMega, ratio);
  if (goal > 0) std::printf("   >= %.2f %s", goal, ratio >= goal ? "met" : "MISSED");
  std::printf("\n");
}

void PrintTable(const std::map<std::string, double>& figures) {
  auto figure = [&figures](const std::string& name) {
    const auto it = figures.find(name);
    return it == figures.end() ? 0.0 : it->second;
  };
  std::printf("\nMB/s = 10^6 bytes/s, median of %d runs; ratio = ours / OpenSSL\n", kRepetitions);
  std::printf("%8s  %-20s %9s %9s %6s   %s\n", "size", "digest", "ours", "openssl", "ratio",
              "goal");
  for (std::size_t size : kSizes) {
    const double md5 = figure(Name("md5", "ours", size));
    const double sha1 = figure(Name("sha1", "ours", size));
    PrintRow(size, "md5", md5, figure(Name("md5", "openssl", size)), GoalRatio(true, size));
    PrintRow(size, "sha1 vs as is", sha1, figure(Name("sha1", "openssl", size)), 0);
    for (const MaskedVariant& variant : kMaskedVariants) {
      const bool goal = std::strcmp(variant.name, kGoalVariant) == 0;
      PrintRow(size, variant.what, sha1, figure(Name("sha1", variant.name, size)),
               goal ? GoalRatio(false, size) : 0);
    }
  }
  std::printf("OPENSSL_ia32cap masks:");
  for (const MaskedVariant& variant : kMaskedVariants) {
    std::printf("  %s \"%s\"", variant.what, variant.mask);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string childVariant;
  std::vector<char*> args;
  std::vector<std::string> forwardedArgs;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], kChildFlag, std::strlen(kChildFlag)) == 0) {
      childVariant = argv[i] + std::strlen(kChildFlag);
      continue;
    }
    args.push_back(argv[i]);
    if (i > 0) forwardedArgs.push_back(argv[i]);
  }
  int argCount = static_cast<int>(args.size());
  benchmark::Initialize(&argCount, args.data());
  if (benchmark::ReportUnrecognizedArguments(argCount, args.data())) return 1;

  const OpenSslDigests openssl;
  if (openssl.md5 == nullptr || openssl.sha1 == nullptr) {
    std::fprintf(stderr, "OpenSSL offers no MD5 or SHA-1\n");
    return 1;
  }
  RegisterAll(openssl, childVariant);

  RecordingReporter reporter;
  if (!childVariant.empty()) {
    // stdout carries the figures to the parent; the readable report goes to stderr.
    const char* mask = std::getenv(kCapabilityVariable);
    std::fprintf(stderr, "\nOpenSSL SHA-1 with %s=%s\n", kCapabilityVariable,
                 mask != nullptr ? mask : "(unset)");
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, bytesPerSecond] : reporter.bytesPerSecond) {
      std::printf("%s %s %.17g\n", kFigureLinePrefix, name.c_str(), bytesPerSecond);
    }
    benchmark::Shutdown();
    return 0;
  }

  if (const char* mask = std::getenv(kCapabilityVariable)) {
    std::printf("note: %s=%s is set; the \"as is\" OpenSSL figures reflect it\n",
                kCapabilityVariable, mask);
  }
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::map<std::string, double> figures = reporter.bytesPerSecond;
  for (const MaskedVariant& variant : kMaskedVariants) {
    for (const auto& [name, bytesPerSecond] : RunChild(variant, forwardedArgs)) {
      figures[name] = bytesPerSecond;
    }
  }
  PrintTable(figures);
  benchmark::Shutdown();
  return 0;
}

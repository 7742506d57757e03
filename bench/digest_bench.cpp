// Throughput of Md5Context and Sha1Context against OpenSSL's EVP MD5 and SHA-1, on short,
// medium and long messages, with a closing table of ratios ours / OpenSSL.
//
// OpenSSL picks its SHA-1 code from the CPU's capabilities once, when it initialises, and the
// component never runs on SHA extensions. So OpenSSL's SHA-1 is timed twice: in this process as
// it is, and in a child (this same program, re-executed with kMaskedChildFlag) started with
// OPENSSL_ia32cap=":~0x20000000", which clears bit 29 of the second capability word (SHA
// extensions) before OpenSSL initialises. The child reports its figures on stdout.
//
// Each benchmark hashes one whole message per iteration (init, update, final). Benchmark flags
// (--benchmark_min_time, --benchmark_repetitions, ...) are passed on to the child.
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

constexpr std::size_t kSizes[] = {64, 400, std::size_t{1} << 20};
constexpr int kRepetitions = 3;  // each figure is the median of this many runs

constexpr char kMaskedChildFlag[] = "--masked-openssl-child";
constexpr char kCapabilityVariable[] = "OPENSSL_ia32cap";
constexpr char kShaMask[] = ":~0x20000000";
constexpr char kChildLinePrefix[] = "MASKED_SHA1";

// Minimum ratio ours / OpenSSL wanted at each size (SHA-1 against the masked figure).
double GoalRatio(const std::string& digest, std::size_t size) {
  if (size < (std::size_t{1} << 20)) return 1.0;
  return digest == "md5" ? 0.9 : 0.75;
}

const std::vector<std::uint8_t>& Message() {
  static const std::vector<std::uint8_t> message = [] {
    std::vector<std::uint8_t> bytes(kSizes[2]);
    std::uint32_t x = 12345;
    for (auto& byte : bytes) {
      x = x * 1103515245u + 12345u;
      byte = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
  }();
  return message;
}

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
  EVP_MD_CTX* context = EVP_MD_CTX_new();
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

// Names are "<digest>/<implementation>/<size>"; the table is keyed by them.
std::string Name(const char* digest, const char* implementation, std::size_t size) {
  return std::string(digest) + "/" + implementation + "/" + std::to_string(size);
}

void Register(const std::string& name, std::function<void(benchmark::State&)> body) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(body))
      ->Repetitions(kRepetitions)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kMicrosecond);
}

void RegisterAll(const OpenSslDigests& openssl, bool maskedChild) {
  for (std::size_t size : kSizes) {
    if (!maskedChild) {
      Register(Name("md5", "ours", size),
               [size](benchmark::State& s) { HashOurs<Md5Context>(s, size); });
      Register(Name("md5", "openssl", size),
               [&openssl, size](benchmark::State& s) { HashOpenSsl(s, openssl.md5, size); });
      Register(Name("sha1", "ours", size),
               [size](benchmark::State& s) { HashOurs<Sha1Context>(s, size); });
    }
    Register(Name("sha1", maskedChild ? "openssl_masked" : "openssl", size),
             [&openssl, size](benchmark::State& s) { HashOpenSsl(s, openssl.sha1, size); });
  }
}

// Console output as usual, plus the median bytes per second of every benchmark by name.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto counter = run.counters.find("bytes_per_second");
      if (counter != run.counters.end())
        throughput[run.run_name.function_name] = counter->second.value;
    }
  }

  std::map<std::string, double> throughput;  // bytes per second
};

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs this program again with the SHA extensions masked and returns its figures by name.
std::map<std::string, double> RunMaskedChild(const std::vector<std::string>& forwardedArgs) {
  std::map<std::string, double> figures;
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return figures;
  self[length] = '\0';

  std::string command = std::string(kCapabilityVariable) + "=" + ShellQuote(kShaMask) + " " +
                        ShellQuote(self) + " " + kMaskedChildFlag;
  for (const std::string& arg : forwardedArgs) command += " " + ShellQuote(arg);

  std::fflush(stdout);
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return figures;
  char line[512];
  while (std::fgets(line, sizeof(line), child) != nullptr) {
    char name[256];
    double bytesPerSecond = 0;
    if (std::sscanf(line, "MASKED_SHA1 %255s %lf", name, &bytesPerSecond) == 2) {
      figures[name] = bytesPerSecond;
    }
  }
  pclose(child);
  return figures;
}

void PrintRow(std::size_t size, const char* label, double ours, double theirs, double goal) {
  const double kMega = 1e6;
  if (ours <= 0 || theirs <= 0) {
    std::printf("%8zu  %-22s %10s %10s %7s\n", size, label, "n/a", "n/a", "n/a");
    return;
  }
  const double ratio = ours / theirs;
  std::printf("%8zu  %-22s %10.1f %10.1f %7.2f", size, label, ours / kMega, theirs / kMega, ratio);
  if (goal > 0) std::printf("   >= %.2f %s", goal, ratio >= goal ? "met" : "MISSED");
  std::printf("\n");
}

void PrintTable(const std::map<std::string, double>& figures) {
  auto get = [&figures](const std::string& name) {
    const auto it = figures.find(name);
    return it == figures.end() ? 0.0 : it->second;
  };
  std::printf("\nThroughput (MB/s = 10^6 bytes/s, median of %d runs); ratio = ours / OpenSSL\n",
              kRepetitions);
  std::printf("%8s  %-22s %10s %10s %7s   %s\n", "size", "digest", "ours", "openssl", "ratio",
              "goal");
  for (std::size_t size : kSizes) {
    PrintRow(size, "md5", get(Name("md5", "ours", size)), get(Name("md5", "openssl", size)),
             GoalRatio("md5", size));
    PrintRow(size, "sha1 (sha-ext masked)", get(Name("sha1", "ours", size)),
             get(Name("sha1", "openssl_masked", size)), GoalRatio("sha1", size));
    PrintRow(size, "sha1 (as is)", get(Name("sha1", "ours", size)),
             get(Name("sha1", "openssl", size)), 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool maskedChild = false;
  std::vector<char*> args;
  std::vector<std::string> forwardedArgs;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], kMaskedChildFlag) == 0) {
      maskedChild = true;
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
    std::fprintf(stderr, "OpenSSL has no MD5 or SHA-1\n");
    return 1;
  }
  RegisterAll(openssl, maskedChild);

  RecordingReporter reporter;
  if (maskedChild) {
    // stdout carries the figures to the parent; the readable report goes to stderr.
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, bytesPerSecond] : reporter.throughput) {
      std::printf("%s %s %.17g\n", kChildLinePrefix, name.c_str(), bytesPerSecond);
    }
    benchmark::Shutdown();
    return 0;
  }

  if (std::getenv(kCapabilityVariable) != nullptr) {
    std::printf("note: %s is set (%s); the unmasked OpenSSL figures reflect it\n",
                kCapabilityVariable, std::getenv(kCapabilityVariable));
  }
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nOpenSSL SHA-1 with SHA extensions masked (%s=%s), in a child process:\n",
              kCapabilityVariable, kShaMask);
  std::map<std::string, double> figures = reporter.throughput;
  for (const auto& [name, bytesPerSecond] : RunMaskedChild(forwardedArgs)) {
    figures[name] = bytesPerSecond;
  }
  PrintTable(figures);
  benchmark::Shutdown();
  return 0;
}

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "instrumented_run.h"
#include "platform/processor.h"

namespace nodmark::platform {
namespace {

// The kernel's account of the first processor: "vendor_id" and the "flags" words.
struct CpuInfo {
  std::string vendor;
  std::set<std::string> flags;
};

std::optional<CpuInfo> ReadCpuInfo() {
  std::ifstream file("/proc/cpuinfo");
  CpuInfo info;
  std::string line;
  while (std::getline(file, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string name = line.substr(0, line.find_first_of(" \t"));
    std::string value = line.substr(colon + 1);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    if (name == "vendor_id" && info.vendor.empty()) info.vendor = value;
    if (name == "flags" && info.flags.empty()) {
      std::istringstream words(value);
      for (std::string word; words >> word;) info.flags.insert(word);
    }
  }
  if (info.vendor.empty() || info.flags.empty()) return std::nullopt;
  return info;
}

TEST(PosixProcessor, AgreesWithTheKernelsAccount) {
#if defined(__i386__) || defined(__x86_64__)
  if (nodmark::testing::RunningUnderValgrind()) {
    GTEST_SKIP() << "valgrind answers CPUID for its own synthetic processor, not the kernel's";
  }
  const std::optional<CpuInfo> kernel = ReadCpuInfo();
  if (!kernel) GTEST_SKIP() << "no vendor_id and flags in /proc/cpuinfo";
  const std::optional<ProcessorIdentification> processor = IdentifyProcessor();
  ASSERT_TRUE(processor.has_value());
  EXPECT_EQ(std::string(processor->vendor.begin(), processor->vendor.end()), kernel->vendor);
  // Feature bits every x86 kernel reports under these names from the same register.
  const struct {
    const char* flag;
    int bit;
  } kBits[] = {{"fpu", 0}, {"tsc", 4}, {"mmx", 23}, {"sse", 25}, {"sse2", 26}};
  for (const auto& bit : kBits) {
    EXPECT_EQ(kernel->flags.count(bit.flag) == 1, (processor->featureFlags >> bit.bit & 1u) == 1)
        << bit.flag;
  }
#else
  EXPECT_FALSE(IdentifyProcessor().has_value()) << "no identification instruction here";
#endif
}

}  // namespace
}  // namespace nodmark::platform

// The component's own work in one construction, with the operating system taken out:
// an IdentifierSet built over the scripted platform of the tests (an adapter list
// with a skipped virtual adapter, a volume serial, a processor, a firmware window
// with its text, a store file holding its value). What this costs is what a
// construction adds to the OS calls that creation_bench measures under Wine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "fake/fake_adapters.h"
#include "fake/fake_firmware.h"
#include "fake/fake_processor.h"
#include "fake/fake_profile.h"
#include "fake/fake_volume.h"
#include "identifiers/identifier_set.h"
#include "platform/firmware.h"
#include "tools/explaining/explain_report.h"
#include "tools/explaining/explain_text.h"
#include "tools/reports/explain_json.h"

namespace {

constexpr char kStorePath[] = "C:\\WINDOWS\\system32\\pub_store.dat";
constexpr std::size_t kSlashFormOffset = 0xEC71;

void ScriptMachine() {
  using nodmark::fake::MakeAdapter;
  nodmark::fake::Adapters().adapters = {
      MakeAdapter("Hyper-V Virtual Ethernet Adapter", {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03}),
      MakeAdapter("Intel(R) PRO/1000 MT Network Connection", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
  };
  nodmark::fake::Volumes().serialOfC = 0x1A2B3C4D;
  nodmark::fake::Processor().identification =
      nodmark::fake::MakeIdentification("GenuineIntel", 0xBFEBFBFF);
  nodmark::ByteString window(nodmark::platform::kFirmwareWindowSize, 0x00);
  const std::string text = "12/31/99 firmware";
  std::copy(text.begin(), text.end(), window.begin() + kSlashFormOffset);
  nodmark::fake::Firmware().window = std::move(window);
  nodmark::fake::Profiles().files[kStorePath]["nodmark"]["rand"] = "K7Q";
}

void BM_IdentifierSetOverScriptedMachine(benchmark::State& state) {
  ScriptMachine();
  for (auto _ : state) {
    const nodmark::identifiers::IdentifierSet identifiers;
    benchmark::DoNotOptimize(identifiers.GetComplicateIdentifier());
  }
}
BENCHMARK(BM_IdentifierSetOverScriptedMachine);

void BM_ExplainAsJsonOverScriptedMachine(benchmark::State& state) {
  ScriptMachine();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        nodmark::tools::RenderExplainJson(nodmark::tools::ExplainThisMachine()));
  }
}
BENCHMARK(BM_ExplainAsJsonOverScriptedMachine);

}  // namespace

BENCHMARK_MAIN();

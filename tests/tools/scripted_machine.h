#ifndef NODMARK_TESTS_TOOLS_SCRIPTED_MACHINE_H_
#define NODMARK_TESTS_TOOLS_SCRIPTED_MACHINE_H_

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fake/fake_adapters.h"
#include "fake/fake_clock.h"
#include "fake/fake_firmware.h"
#include "fake/fake_machine_lock.h"
#include "fake/fake_processor.h"
#include "fake/fake_profile.h"
#include "fake/fake_registry.h"
#include "fake/fake_system_directory.h"
#include "fake/fake_volume.h"
#include "filter/filter_list_store_testing.h"
#include "identifiers/identifier_set.h"
#include "platform/firmware.h"
#include "tools/explaining/explain_report.h"

namespace nodmark::tools {

// A machine scripted through the fake platform, fresh for every test: no adapters, no
// volume, no processor identification, no firmware window, no store file, no filter
// list. Tests add what they need, then explain it.
class ScriptedMachineTest : public ::testing::Test {
 public:
  // The helpers are public so that the cases of parameterised tests can script the
  // machine from tables.
  static constexpr char kStorePath[] = "C:\\WINDOWS\\system32\\pub_store.dat";

 protected:
  void SetUp() override {
    fake::ResetAdapters();
    fake::ResetVolumes();
    fake::ResetProcessor();
    fake::ResetFirmware();
    fake::ResetProfiles();
    fake::ResetSystemDirectory();
    fake::ResetClock();
    fake::ResetMachineLocks();
    fake::ResetRegistry();
    filter::FilterListStore::ReleaseInstance();
  }
  void TearDown() override { filter::FilterListStore::ReleaseInstance(); }

 public:
  // Lists an adapter after the others; the record stays the test's to mark wireless or
  // on a removable bus until the next adapter is added.
  static platform::AdapterRecord& AddAdapter(std::string_view description,
                                             std::initializer_list<std::uint8_t> address) {
    return fake::Adapters().adapters.emplace_back(fake::MakeAdapter(description, address));
  }

  // A firmware window, zero-filled but for `text` at `offset`.
  static void PutFirmwareText(std::size_t offset, std::string_view text) {
    ByteString window(platform::kFirmwareWindowSize, 0x00);
    std::copy(text.begin(), text.end(), window.begin() + static_cast<std::ptrdiff_t>(offset));
    fake::Firmware().window = std::move(window);
  }

  // Makes the filter list store hold the given entries (as "filter0", "filter1", ...).
  static void UseFilterList(const std::vector<std::string>& entries) {
    fake::SetRegistryText("SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd", "Path",
                          "C:\\Apps\\Client\\client.exe");
    filter::FilterListStore& store = filter::FilterListStore::Instance();
    ASSERT_FALSE(store.FilePath().empty());
    using Testing = filter::FilterListStoreTesting;
    Testing::AddVerifiedEntry(store, "filter_nodmark", "filter_size",
                              std::to_string(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      Testing::AddVerifiedEntry(store, "filter_nodmark", "filter" + std::to_string(i), entries[i]);
    }
  }

  // The report's identifiers must be those one IdentifierSet computes on the same
  // machine right after it (which reads back whatever the explain run stored).
  static void ExpectIdentifierSetAgrees(const ExplainReport& report) {
    const identifiers::IdentifierSet identifiers;
    EXPECT_EQ(report.nodmarkOld, identifiers.GetOldIdentifier());
    EXPECT_EQ(report.nodmarkNew, identifiers.GetNewIdentifier());
    EXPECT_EQ(report.nodmarkComplicate, identifiers.GetComplicateIdentifier());
  }
};

// Names each case of a value-parameterised test by its `name`.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

}  // namespace nodmark::tools

#endif  // NODMARK_TESTS_TOOLS_SCRIPTED_MACHINE_H_

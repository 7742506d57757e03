#include "filter/filter_list_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fake/fake_registry.h"
#include "filter/filter_list_store_testing.h"

namespace nodmark::filter {
namespace {

using Testing = FilterListStoreTesting;

constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";
constexpr char kPathValue[] = "Path";
constexpr char kSection[] = "filter_nodmark";
constexpr char kCheckSection[] = "filter_nodmark_e";

class FilterListStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FilterListStore::ReleaseInstance();
    fake::ResetRegistry();
  }
  void TearDown() override { FilterListStore::ReleaseInstance(); }

  static std::string FilePathForValue(std::vector<std::uint8_t> data) {
    fake::Registry().values[{kInstallKey, kPathValue}] = std::move(data);
    return Testing::CreateDetachedStore()->FilePath();
  }
  static std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }
  static std::vector<std::uint8_t> Terminated(const std::string& text) {
    std::vector<std::uint8_t> data = Bytes(text);
    data.push_back(0);
    return data;
  }
};

// --- Where the store's file is: the registry value "Path" -------------------------

TEST_F(FilterListStoreTest, AsksForValuePathOfTheInstallKeyWith260Bytes) {
  Testing::CreateDetachedStore();
  EXPECT_EQ(fake::Registry().queries, 1);
  EXPECT_EQ(fake::Registry().lastSubkey, kInstallKey);
  EXPECT_EQ(fake::Registry().lastValueName, kPathValue);
  EXPECT_EQ(fake::Registry().lastCapacity, 260u);
}

TEST_F(FilterListStoreTest, FilePathIsTheValueUpToItsLastBackslashThenProgramStatDat) {
  const std::string longDirectory(250, 'a');
  struct Case {
    std::vector<std::uint8_t> value;
    std::string filePath;
  };
  const Case cases[] = {
      // The three forms of an installation path.
      {Terminated("C:\\Apps\\Client\\client.exe"), "C:\\Apps\\Client\\Program\\stat.dat"},
      {Terminated("C:\\Apps\\Client\\"), "C:\\Apps\\Client\\Program\\stat.dat"},
      {Terminated("C:\\Apps\\Client"), "C:\\Apps\\Program\\stat.dat"},
      // No backslash, an empty text, no data at all.
      {Terminated("client.exe"), ""},
      {Terminated(""), ""},
      {{}, ""},
      // The text ends at the first zero byte, and needs none to end.
      {Terminated(std::string("C:\\Apps\0\\Other\\", 15)), "C:\\Program\\stat.dat"},
      {Bytes("C:\\Apps\\x"), "C:\\Apps\\Program\\stat.dat"},
      // 260 bytes without a terminator: all of them, and nothing beyond, are the text.
      {Bytes(longDirectory + "\\" + std::string(9, 'b')), longDirectory + "\\Program\\stat.dat"},
      // The type is not looked at: the four bytes of a REG_DWORD 0x00005C41 read "A\".
      {{0x41, 0x5C, 0x00, 0x00}, "A\\Program\\stat.dat"},
      {{0x01, 0x02, 0x03, 0xFF}, ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(FilePathForValue(cases[i].value), cases[i].filePath) << "case " << i;
  }
}

TEST_F(FilterListStoreTest, ValueLargerThan260BytesCountsAsMissing) {
  const std::string fits = "C:\\" + std::string(256, 'd');  // 259 characters
  EXPECT_EQ(FilePathForValue(Terminated(fits)), "C:\\Program\\stat.dat");
  EXPECT_EQ(FilePathForValue(Terminated(fits + "e")), "");
  EXPECT_EQ(FilePathForValue(Bytes(fits + "\\" + std::string(1000, 'f'))), "");
}

TEST_F(FilterListStoreTest, MissingKeyOrValueGivesEmptyPath) {
  EXPECT_EQ(Testing::CreateDetachedStore()->FilePath(), "");
  fake::SetRegistryText(kInstallKey, "Other", "C:\\Apps\\Client\\client.exe");
  fake::SetRegistryText("SOFTWARE\\Halvern Network", kPathValue, "C:\\Apps\\Client\\client.exe");
  EXPECT_EQ(Testing::CreateDetachedStore()->FilePath(), "");
}

// --- Verified lookups -------------------------------------------------------------

TEST_F(FilterListStoreTest, CheckValueIsUpperCaseSaltedSha1OfTheText) {
  // Known answers: SHA-1 of "quillomber" followed by the text.
  EXPECT_EQ(Testing::CheckValue(""), "070F646760B9A922CD8F417DB6D8CA29B3D49B12");
  EXPECT_EQ(Testing::CheckValue("0filter_size"), "21A1AC4C26FB117596C0B243114FB833EEAE5F37");
  EXPECT_EQ(Testing::CheckValue("00NNNNNNNNNNfilter0"), "A035E28017A2349EC2D675966B8F550E039B5479");
}

TEST_F(FilterListStoreTest, ValueWithMatchingCheckValueComesBack) {
  const auto store = Testing::CreateDetachedStore();
  Testing::AddRawEntry(*store, kSection, "filter0", "00NNNNNNNNNN");
  Testing::AddRawEntry(*store, kCheckSection, "filter0",
                       "A035E28017A2349EC2D675966B8F550E039B5479");
  EXPECT_EQ(store->GetString(kSection, "filter0", "none"), "00NNNNNNNNNN");
}

TEST_F(FilterListStoreTest, UnverifiedValueGivesTheDefault) {
  const auto store = Testing::CreateDetachedStore();
  const std::string good = Testing::CheckValue("00NNNNNNNNNNfilter0");
  std::string lowerCase = good;
  for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  struct Case {
    const char* what;
    std::string section;  // where the check value is stored ("" for nowhere)
    std::string key;
    std::string checkValue;
  };
  const Case cases[] = {
      {"check digits in lower case", kCheckSection, "filter0", lowerCase},
      {"check key missing", kCheckSection, "filter1", good},
      {"check section missing", "", "", ""},
      {"check section of another name", "filter_nodmark_E", "filter0", good},
      {"check value cut short", kCheckSection, "filter0", good.substr(0, 39)},
      {"check value with a space after it", kCheckSection, "filter0", good + " "},
      {"check value of the value alone", kCheckSection, "filter0",
       Testing::CheckValue("00NNNNNNNNNN")},
  };
  for (const Case& c : cases) {
    const auto fresh = Testing::CreateDetachedStore();
    Testing::AddRawEntry(*fresh, kSection, "filter0", "00NNNNNNNNNN");
    if (!c.section.empty()) Testing::AddRawEntry(*fresh, c.section, c.key, c.checkValue);
    EXPECT_EQ(fresh->GetString(kSection, "filter0", "none"), "none") << c.what;
  }
}

TEST_F(FilterListStoreTest, SectionsAndKeysMatchExactly) {
  const auto store = Testing::CreateDetachedStore();
  Testing::AddVerifiedEntry(*store, kSection, "filter0", "00NNNNNNNNNN");
  EXPECT_EQ(store->GetString(kSection, "filter0", "none"), "00NNNNNNNNNN");
  EXPECT_EQ(store->GetString("Filter_nodmark", "filter0", "none"), "none");
  EXPECT_EQ(store->GetString(kSection, "Filter0", "none"), "none");
  EXPECT_EQ(store->GetString(kSection, "filter0 ", "none"), "none");
}

TEST_F(FilterListStoreTest, EmptyStoreAnswersEveryDefault) {
  fake::SetRegistryText(kInstallKey, kPathValue, "C:\\Apps\\Client\\client.exe");
  const FilterListStore& store = FilterListStore::Instance();
  EXPECT_EQ(store.GetInt(kSection, "filter_size", 0), 0);
  EXPECT_EQ(store.GetInt(kSection, "filter_size", -5), -5);
  EXPECT_EQ(store.GetInt(kSection, "filter_size", std::numeric_limits<std::int32_t>::min()),
            std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(store.GetString(kSection, "filter0", ""), "");
  EXPECT_EQ(store.GetString("any", "thing", "default"), "default");
}

TEST_F(FilterListStoreTest, LookupsNeverCreateSectionsOrKeys) {
  const auto store = Testing::CreateDetachedStore();
  store->GetString(kSection, "filter0", "");
  store->GetInt(kSection, "filter_size", 7);
  EXPECT_EQ(Testing::SectionCount(*store), 0u);

  Testing::AddVerifiedEntry(*store, kSection, "filter0", "00NNNNNNNNNN");
  store->GetString(kSection, "filter1", "");
  store->GetString("other", "filter0", "");
  store->GetInt("filter_nodmark_x", "filter_size", 0);
  EXPECT_EQ(Testing::SectionCount(*store), 2u);
  EXPECT_EQ(Testing::KeyCount(*store), 2u);
  EXPECT_EQ(store->GetString(kSection, "filter1", "none"), "none");
}

TEST_F(FilterListStoreTest, GetIntReadsTheTextAsAtolDoes) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    std::string text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"42", 42},
      {" \t\n\v\f\r42", 42},
      {"-17", -17},
      {"+8", 8},
      {"-5", -5},
      {"007", 7},
      {"12abc", 12},
      {" 3 4", 3},
      {"1,000,000,000", 1},
      {"1000000000", 1000000000},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"- 3", 0},
      {"--3", 0},
      {"+-3", 0},
      {"0x10", 0},
      // Out of range: the nearest limit, never undefined behaviour.
      {"2147483647", kMax},
      {"2147483648", kMax},
      {"99999999999999999999999", kMax},
      {"-2147483648", kMin},
      {"-2147483649", kMin},
      {"-99999999999999999999999", kMin},
  };
  for (const Case& c : cases) {
    const auto store = Testing::CreateDetachedStore();
    Testing::AddVerifiedEntry(*store, kSection, "filter_size", c.text);
    EXPECT_EQ(store->GetInt(kSection, "filter_size", 99), c.value) << '"' << c.text << '"';
  }
}

// --- The process's one store ------------------------------------------------------

TEST_F(FilterListStoreTest, InstanceIsCreatedOnceAndReadsTheRegistryOnce) {
  fake::SetRegistryText(kInstallKey, kPathValue, "C:\\Apps\\Client\\client.exe");
  EXPECT_FALSE(Testing::InstanceExists());
  FilterListStore& first = FilterListStore::Instance();
  EXPECT_TRUE(Testing::InstanceExists());
  EXPECT_EQ(first.FilePath(), "C:\\Apps\\Client\\Program\\stat.dat");

  // A later change of the value goes unseen by this process.
  fake::SetRegistryText(kInstallKey, kPathValue, "D:\\Elsewhere\\client.exe");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(&FilterListStore::Instance(), &first);
  EXPECT_EQ(first.FilePath(), "C:\\Apps\\Client\\Program\\stat.dat");
  EXPECT_EQ(fake::Registry().queries, 1);
}

TEST_F(FilterListStoreTest, TwoThreadsMakingTheFirstCallAtOnceGetOneStore) {
  fake::SetRegistryText(kInstallKey, kPathValue, "C:\\Apps\\Client\\client.exe");
  // The slow registry keeps the first thread inside the creation while the second
  // arrives; a creation without the lock, or without the second check, reads twice.
  fake::Registry().queryDelay = std::chrono::milliseconds(20);
  constexpr int kRounds = 10;
  for (int round = 0; round < kRounds; ++round) {
    FilterListStore::ReleaseInstance();
    fake::Registry().queries = 0;
    std::atomic<int> ready{0};
    FilterListStore* seen[2] = {};
    auto firstCall = [&](int slot) {
      ready.fetch_add(1);
      while (ready.load() < 2) std::this_thread::yield();
      seen[slot] = &FilterListStore::Instance();
    };
    std::thread one(firstCall, 0);
    std::thread two(firstCall, 1);
    one.join();
    two.join();
    ASSERT_NE(seen[0], nullptr) << "round " << round;
    EXPECT_EQ(seen[0], seen[1]) << "round " << round;
    EXPECT_EQ(seen[0]->FilePath(), "C:\\Apps\\Client\\Program\\stat.dat") << "round " << round;
    EXPECT_EQ(fake::Registry().queries, 1) << "round " << round;
  }
}

}  // namespace
}  // namespace nodmark::filter

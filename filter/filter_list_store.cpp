#include "filter/filter_list_store.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "core/hex_text.h"
#include "core/sha1.h"
#include "platform/lock.h"
#include "platform/registry.h"

namespace nodmark::filter {
namespace {

// Guards the store's creation and every lookup. Re-entrant, so a lookup may call
// another (GetInt through GetString) on the same thread.
platform::RecursiveLock storeLock;

constexpr char kCheckSectionSuffix[] = "_e";
constexpr char kCheckSalt[] = "quillomber";

// Where the installation that owns the filter list names its directory.
constexpr char kInstallKey[] = "SOFTWARE\\Halvern Network\\HalvernOem\\halvern_backwnd";
constexpr char kInstallPathValue[] = "Path";
constexpr std::size_t kInstallPathCapacity = 260;
constexpr char kStoreFileName[] = "Program\\stat.dat";

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atol's reading of a text, but without its undefined behaviour on overflow: values
// beyond the 32-bit range saturate, as the Windows C library's atol does.
std::int32_t ReadLeadingInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsCSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

  constexpr std::int64_t kMagnitudeLimit =
      static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    magnitude = std::min(magnitude * 10 + (text[at] - '0'), kMagnitudeLimit);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// Destroyed before storeLock, above: the module's static objects go in reverse order.
platform::ProcessSingleton<FilterListStore> FilterListStore::instance{storeLock};

void FilterListStore::ReleaseInstance() noexcept { instance.Release(); }

FilterListStore& FilterListStore::Instance() {
  return instance.Get([] { return new FilterListStore(); });
}

FilterListStore::FilterListStore() { LocateFile(); }

void FilterListStore::LocateFile() {
  const std::optional<std::vector<std::uint8_t>> value =
      platform::QueryLocalMachineValue(kInstallKey, kInstallPathValue, kInstallPathCapacity);
  if (!value) return;

  // The value's type is not looked at: its bytes up to the first zero byte are the
  // text. The bound keeps a value without a terminator from being read past its end.
  const std::size_t length = std::min<std::size_t>(
      std::find(value->begin(), value->end(), 0) - value->begin(), kInstallPathCapacity);
  const std::string text(value->begin(), value->begin() + static_cast<std::ptrdiff_t>(length));

  const std::size_t lastBackslash = text.rfind('\\');
  if (lastBackslash == std::string::npos) return;
  filePath = text.substr(0, lastBackslash + 1) + kStoreFileName;
}

std::string FilterListStore::ComputeCheckValue(const std::string& text) {
  const std::string input = kCheckSalt + text;
  core::Sha1Context sha1;
  sha1.Update(input.data(), static_cast<std::uint32_t>(input.size()));
  std::uint8_t digest[core::Sha1Context::kDigestSize] = {};
  sha1.Final(digest);
  std::string checkValue;
  core::AppendHexBytes(checkValue, digest, sizeof digest);
  return checkValue;
}

const std::string* FilterListStore::Find(const std::string& section, const std::string& key) const {
  // find, never operator[]: a lookup must not add the section or the key it misses.
  const auto sectionAt = sections.find(section);
  if (sectionAt == sections.end()) return nullptr;
  const auto keyAt = sectionAt->second.find(key);
  return keyAt == sectionAt->second.end() ? nullptr : &keyAt->second;
}

std::string FilterListStore::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
  const auto guard = storeLock.Acquire();
  const std::string* stored = Find(section, key);
  const std::string& value = stored != nullptr ? *stored : defaultValue;
  const std::string* check = Find(section + kCheckSectionSuffix, key);
  if (check == nullptr || *check != ComputeCheckValue(value + key)) return defaultValue;
  return value;
}

std::int32_t FilterListStore::GetInt(const std::string& section, const std::string& key,
                                     std::int32_t defaultValue) const {
  return ReadLeadingInteger(GetString(section, key, std::to_string(defaultValue)));
}

}  // namespace nodmark::filter

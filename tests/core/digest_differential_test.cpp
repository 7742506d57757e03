// Md5Context, Sha1Context, Sha256Context and HmacSha256Context against OpenSSL's digests and
// HMAC on many random messages (and keys), each fed to our context in random pieces.
// OpenSSL serves only as the reference here.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/hmac_sha256.h"
#include "core/md5.h"
#include "core/sha1.h"
#include "core/sha256.h"
#include "instrumented_run.h"

namespace nodmark::core {
namespace {

constexpr int kMessageCount = 10000;
constexpr std::size_t kMaxMessageSize = 1000;
constexpr std::size_t kMaxExtraCuts = 4;
constexpr std::size_t kMaxKeySize = 200;  // past the block, so that long keys are hashed
constexpr std::uint32_t kSeed = 20240611;

constexpr bool kHmac = true;

// OpenSSL's digest of the bytes, or its HMAC under `key` when `keyed`.
std::vector<std::uint8_t> Reference(const EVP_MD* md, bool keyed,
                                    const std::vector<std::uint8_t>& key,
                                    const std::vector<std::uint8_t>& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestSize = 0;
  // OpenSSL refuses a null key or message even when it is empty.
  static const std::uint8_t kNothing = 0;
  const bool done =
      keyed ? HMAC(md, key.empty() ? &kNothing : key.data(), static_cast<int>(key.size()),
                   bytes.empty() ? &kNothing : bytes.data(), bytes.size(), digest,
                   &digestSize) != nullptr
            : EVP_Digest(bytes.data(), bytes.size(), digest, &digestSize, md, nullptr) == 1;
  if (!done) return {};
  return std::vector<std::uint8_t>(digest, digest + digestSize);
}

// A fresh digest context; an HMAC context keyed with `key`; and the size of what each gives.
template <class Context>
Context MakeContext(const std::vector<std::uint8_t>& /*key*/) {
  return Context();
}

template <>
HmacSha256Context MakeContext<HmacSha256Context>(const std::vector<std::uint8_t>& key) {
  return HmacSha256Context(key.data(), static_cast<std::uint32_t>(key.size()));
}

template <class Context>
constexpr std::size_t OutputSize() {
  return Context::kDigestSize;
}

template <>
constexpr std::size_t OutputSize<HmacSha256Context>() {
  return HmacSha256Context::kMacSize;
}

template <class Context>
std::vector<std::uint8_t> DigestInPieces(const std::vector<std::uint8_t>& key,
                                         const std::vector<std::uint8_t>& bytes,
                                         const std::vector<std::size_t>& cuts) {
  Context context = MakeContext<Context>(key);
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    context.Update(bytes.data() + start, static_cast<std::uint32_t>(cut - start));
    start = cut;
  }
  context.Update(bytes.data() + start, static_cast<std::uint32_t>(bytes.size() - start));
  std::vector<std::uint8_t> digest(EVP_MAX_MD_SIZE);
  context.Final(digest.data());
  digest.resize(OutputSize<Context>());
  return digest;
}

std::string Describe(int index, std::size_t size, const std::vector<std::size_t>& cuts) {
  std::string text =
      "message #" + std::to_string(index) + ", " + std::to_string(size) + " bytes, cut at {";
  for (std::size_t cut : cuts) text += " " + std::to_string(cut);
  return text + " }";
}

template <class Context>
void CompareWithReference(const EVP_MD* md, bool keyed = false) {
  ASSERT_NE(md, nullptr);
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<std::size_t> sizeOf(0, kMaxMessageSize);
  std::uniform_int_distribution<int> byteValue(0, 255);
  std::uniform_int_distribution<std::size_t> cutCount(0, kMaxExtraCuts);
  std::uniform_int_distribution<std::size_t> keySizeOf(0, kMaxKeySize);

  // Under valgrind, some fifty times slower, every length once instead of ten thousand
  // random ones: about a tenth of the work, and no length left out. The sanitizer build
  // checks every access of all ten thousand.
  const bool everyLengthOnce = nodmark::testing::RunningUnderValgrind();
  const int messageCount = everyLengthOnce ? static_cast<int>(kMaxMessageSize) + 1 : kMessageCount;
  for (int i = 0; i < messageCount; ++i) {
    std::vector<std::uint8_t> key(keyed ? keySizeOf(random) : 0);
    for (auto& byte : key) byte = static_cast<std::uint8_t>(byteValue(random));
    std::vector<std::uint8_t> message(everyLengthOnce ? static_cast<std::size_t>(i)
                                                      : sizeOf(random));
    for (auto& byte : message) byte = static_cast<std::uint8_t>(byteValue(random));
    std::uniform_int_distribution<std::size_t> cutAt(0, message.size());
    std::vector<std::size_t> cuts(cutCount(random));
    for (auto& cut : cuts) cut = cutAt(random);
    std::sort(cuts.begin(), cuts.end());

    const std::vector<std::uint8_t> expected = Reference(md, keyed, key, message);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(DigestInPieces<Context>(key, message, cuts), expected)
        << Describe(i, message.size(), cuts) << ", key of " << key.size() << " bytes";
  }
}

TEST(DigestDifferentialTest, Md5MatchesOpenSsl) { CompareWithReference<Md5Context>(EVP_md5()); }

TEST(DigestDifferentialTest, Sha1MatchesOpenSsl) { CompareWithReference<Sha1Context>(EVP_sha1()); }

TEST(DigestDifferentialTest, Sha256MatchesOpenSsl) {
  CompareWithReference<Sha256Context>(EVP_sha256());
}

TEST(DigestDifferentialTest, HmacSha256MatchesOpenSsl) {
  CompareWithReference<HmacSha256Context>(EVP_sha256(), kHmac);
}

}  // namespace
}  // namespace nodmark::core

// Md5Context and Sha1Context against OpenSSL's EVP digests on many random messages, each fed
// to our context in random pieces. OpenSSL serves only as the reference here.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/md5.h"
#include "core/sha1.h"

namespace nodmark::core {
namespace {

constexpr int kMessageCount = 10000;
constexpr std::size_t kMaxMessageSize = 1000;
constexpr std::size_t kMaxExtraCuts = 4;
constexpr std::uint32_t kSeed = 20240611;

std::vector<std::uint8_t> ReferenceDigest(const EVP_MD* md,
                                          const std::vector<std::uint8_t>& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestSize = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &digestSize, md, nullptr) != 1) return {};
  return std::vector<std::uint8_t>(digest, digest + digestSize);
}

template <class Context>
std::vector<std::uint8_t> DigestInPieces(const std::vector<std::uint8_t>& bytes,
                                         const std::vector<std::size_t>& cuts) {
  Context context;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    context.Update(bytes.data() + start, static_cast<std::uint32_t>(cut - start));
    start = cut;
  }
  context.Update(bytes.data() + start, static_cast<std::uint32_t>(bytes.size() - start));
  std::vector<std::uint8_t> digest(Context::kDigestSize);
  context.Final(digest.data());
  return digest;
}

std::string Describe(int index, std::size_t size, const std::vector<std::size_t>& cuts) {
  std::string text =
      "message #" + std::to_string(index) + ", " + std::to_string(size) + " bytes, cut at {";
  for (std::size_t cut : cuts) text += " " + std::to_string(cut);
  return text + " }";
}

template <class Context>
void CompareWithReference(const EVP_MD* md) {
  ASSERT_NE(md, nullptr);
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<std::size_t> sizeOf(0, kMaxMessageSize);
  std::uniform_int_distribution<int> byteValue(0, 255);
  std::uniform_int_distribution<std::size_t> cutCount(0, kMaxExtraCuts);

  for (int i = 0; i < kMessageCount; ++i) {
    std::vector<std::uint8_t> message(sizeOf(random));
    for (auto& byte : message) byte = static_cast<std::uint8_t>(byteValue(random));
    std::uniform_int_distribution<std::size_t> cutAt(0, message.size());
    std::vector<std::size_t> cuts(cutCount(random));
    for (auto& cut : cuts) cut = cutAt(random);
    std::sort(cuts.begin(), cuts.end());

    const std::vector<std::uint8_t> expected = ReferenceDigest(md, message);
    ASSERT_EQ(expected.size(), Context::kDigestSize);
    ASSERT_EQ(DigestInPieces<Context>(message, cuts), expected)
        << Describe(i, message.size(), cuts);
  }
}

TEST(DigestDifferentialTest, Md5MatchesOpenSsl) { CompareWithReference<Md5Context>(EVP_md5()); }

TEST(DigestDifferentialTest, Sha1MatchesOpenSsl) { CompareWithReference<Sha1Context>(EVP_sha1()); }

}  // namespace
}  // namespace nodmark::core

// Md5Context, Sha1Context and Sha256Context against published and independently computed
// digests, fed in every way a caller can split a message. Every digest runs the same tests
// over its own table of known answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/md5.h"
#include "core/sha1.h"
#include "core/sha256.h"
#include "instrumented_run.h"

namespace nodmark::core {
namespace {

struct KnownAnswer {
  std::string message;
  const char* digestHex;
};

// The lower-case alphabet repeated, cut to length bytes.
std::string Alphabet(std::size_t length) {
  std::string text;
  while (text.size() < length) text += "abcdefghijklmnopqrstuvwxyz";
  text.resize(length);
  return text;
}

// 2^29 + 5 zero bytes: more than 2^32 bits, so the high word of the bit count is in play.
constexpr std::size_t kLargeMessageSize = (std::size_t{1} << 29) + 5;

struct Md5 {
  using Context = Md5Context;
  // Computed with: head -c 536870917 /dev/zero | openssl dgst -md5
  static constexpr char kLargeMessageDigest[] = "53f83c490b7435d7e205466bfd984882";

  static const std::vector<KnownAnswer>& KnownAnswers() {
    static const std::vector<KnownAnswer> cases = {
        // RFC 1321, appendix A.5 (test suite).
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Lengths around the length field (56) and the block (64). Digests computed with
        //   yes abcdefghijklmnopqrstuvwxyz | tr -d '\n' | head -c N | openssl dgst -md5
        {Alphabet(55), "0d7ae056b2f015cd7dc67494efd658f1"},
        {Alphabet(56), "31fcfb5165169eb55898e7e4cf34d19a"},
        {Alphabet(63), "1b30c0670c15e7da3c2ba7bce77ebe99"},
        {Alphabet(64), "a2eaf6295c32adc403865fd96a2f182b"},
        {Alphabet(65), "eba2cce0ca8df47e62414a736b3105a2"},
        {Alphabet(119), "b05187e08da41fa3ef16bd56afaafd99"},
        {Alphabet(120), "62af9b597a9f55e16ab2b897387fc052"},
        // Computed with: head -c 1000000 /dev/zero | tr '\0' a | openssl dgst -md5
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    return cases;
  }
};

struct Sha1 {
  using Context = Sha1Context;
  // Computed with: head -c 536870917 /dev/zero | openssl dgst -sha1
  static constexpr char kLargeMessageDigest[] = "8e9aff269b0100da94e05015243e0a65c1399752";

  static const std::vector<KnownAnswer>& KnownAnswers() {
    static const std::vector<KnownAnswer> cases = {
        // FIPS 180-1, appendices A, B and C.
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        // Computed with: printf '' | openssl dgst -sha1 (and printf a | ...)
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"a", "86f7e437faa5a7fce15d1ddcb9eaeaea377667b8"},
        // Lengths around the length field (56) and the block (64). Digests computed with
        //   yes abcdefghijklmnopqrstuvwxyz | tr -d '\n' | head -c N | openssl dgst -sha1
        {Alphabet(55), "a617d006d1ca12671785098a19a87fe58443bde9"},
        {Alphabet(56), "4ad5bb7ae3c4024768d364b77c52128ea3cffebe"},
        {Alphabet(63), "fc8a5ab77259625085ead3ec96515b3b8d933fad"},
        {Alphabet(64), "93249d4c2f8903ebf41ac358473148ae6ddd7042"},
        {Alphabet(65), "cf2a63cc308225cf07b498d2309a01dd0df52f67"},
        {Alphabet(119), "edd0f1133d0e4ca5f3e98bb7e0295f31d20d2cdb"},
        {Alphabet(120), "23a58eee587aa1f50d19a969ab36a3fe3e88c393"},
    };
    return cases;
  }
};

struct Sha256 {
  using Context = Sha256Context;
  // Computed with: head -c 536870917 /dev/zero | openssl dgst -sha256
  static constexpr char kLargeMessageDigest[] =
      "067afeb284bda066154edc29030dbfdb883432345edbb83b37c54f87fb33931e";

  static const std::vector<KnownAnswer>& KnownAnswers() {
    static const std::vector<KnownAnswer> cases = {
        // FIPS 180-2, appendix B.
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // Computed with: printf '' | openssl dgst -sha256 (and printf a | ...)
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"a", "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb"},
        // Lengths around the length field (56) and the block (64). Digests computed with
        //   yes abcdefghijklmnopqrstuvwxyz | tr -d '\n' | head -c N | openssl dgst -sha256
        {Alphabet(55), "595615dbe4f0f407ae397d08b4c2cb870cb9b0e11937416f950c5160acf9c005"},
        {Alphabet(56), "784f623b787495078e93ff28a25b581df0584055a7e71d8cd90c454716b92f51"},
        {Alphabet(63), "5ca3e1ef5207490eac01a795e5cc94d59582a5118bf9534665c8668d87aa647c"},
        {Alphabet(64), "2fcd5a0d60e4c941381fcc4e00a4bf8be422c3ddfafb93c809e8d1e2bfffae8e"},
        {Alphabet(65), "1b3cd1877ab2f2f19f7be001722554f336cb799df0329de0bb4c118dc6abc06d"},
        {Alphabet(119), "faef67da856d6fd9c8d12f9ed0a4fefd3cf0ce085ab43e2907418d457e3c354b"},
        {Alphabet(120), "c9512b08619c19fbb503c7da6b46ef20301e5f7a7a5f43989182398536f5c5c8"},
    };
    return cases;
  }
};

template <typename Digest>
class DigestTest : public ::testing::Test {
 protected:
  using Context = typename Digest::Context;

  static const std::vector<KnownAnswer>& KnownAnswers() { return Digest::KnownAnswers(); }

  // The case whose message is the given text; the tests name the cases they need this way.
  // A copy, so that no caller holds a reference that outlives the message it passed.
  static KnownAnswer KnownAnswerFor(const std::string& message) {
    for (const KnownAnswer& known : KnownAnswers()) {
      if (known.message == message) return known;
    }
    throw std::logic_error("no known answer for a message of " + std::to_string(message.size()) +
                           " bytes");
  }

  static std::string CaseLabel(std::size_t index) {
    return "known answer #" + std::to_string(index) + " (" +
           std::to_string(KnownAnswers()[index].message.size()) + " bytes)";
  }

  static std::string ToHex(const std::uint8_t* bytes, std::size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
      text += kDigits[bytes[i] >> 4];
      text += kDigits[bytes[i] & 0x0F];
    }
    return text;
  }

  static std::string FinalHex(Context& context) {
    std::uint8_t digest[Context::kDigestSize];
    context.Final(digest);
    return ToHex(digest, sizeof(digest));
  }

  static void Feed(Context& context, const char* bytes, std::size_t count) {
    context.Update(bytes, static_cast<std::uint32_t>(count));
  }

  // Digest of bytes[0, size), fed as consecutive pieces that end at the ascending offsets
  // in cuts.
  static std::string DigestInPieces(const char* bytes, std::size_t size,
                                    const std::vector<std::size_t>& cuts) {
    Context context;
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
      Feed(context, bytes + start, cut - start);
      start = cut;
    }
    Feed(context, bytes + start, size - start);
    return FinalHex(context);
  }

  static std::string DigestInPieces(const std::string& message,
                                    const std::vector<std::size_t>& cuts) {
    return DigestInPieces(message.data(), message.size(), cuts);
  }
};

struct DigestName {
  template <typename Digest>
  static std::string GetName(int) {
    if (std::is_same_v<Digest, Md5>) return "Md5";
    return std::is_same_v<Digest, Sha1> ? "Sha1" : "Sha256";
  }
};

using Digests = ::testing::Types<Md5, Sha1, Sha256>;
TYPED_TEST_SUITE(DigestTest, Digests, DigestName);

TYPED_TEST(DigestTest, FinalWritesExactlyTheDigest) {
  constexpr std::uint8_t kSentinel = 0xA5;
  std::uint8_t out[TestFixture::Context::kDigestSize + 8];
  std::memset(out, kSentinel, sizeof(out));
  typename TestFixture::Context context;
  context.Final(out);
  EXPECT_EQ(this->ToHex(out, TestFixture::Context::kDigestSize),
            this->KnownAnswerFor("").digestHex);
  for (std::size_t i = TestFixture::Context::kDigestSize; i < sizeof(out); ++i) {
    EXPECT_EQ(out[i], kSentinel) << "byte " << i << " past the digest was written";
  }
}

TYPED_TEST(DigestTest, WholeMessage) {
  for (std::size_t i = 0; i < this->KnownAnswers().size(); ++i) {
    SCOPED_TRACE(this->CaseLabel(i));
    const KnownAnswer& known = this->KnownAnswers()[i];
    EXPECT_EQ(this->DigestInPieces(known.message, {}), known.digestHex);
  }
}

TYPED_TEST(DigestTest, ByteByByte) {
  for (std::size_t i = 0; i < this->KnownAnswers().size(); ++i) {
    SCOPED_TRACE(this->CaseLabel(i));
    const KnownAnswer& known = this->KnownAnswers()[i];
    typename TestFixture::Context context;
    for (char byte : known.message) this->Feed(context, &byte, 1);
    EXPECT_EQ(this->FinalHex(context), known.digestHex);
  }
}

TYPED_TEST(DigestTest, SplitAtBlockAndLengthFieldBoundaries) {
  const std::vector<std::size_t> kBoundaries = {1, 55, 56, 63, 64, 65};
  for (std::size_t i = 0; i < this->KnownAnswers().size(); ++i) {
    SCOPED_TRACE(this->CaseLabel(i));
    const KnownAnswer& known = this->KnownAnswers()[i];
    std::vector<std::size_t> allCuts;
    for (std::size_t cut : kBoundaries) {
      if (cut > known.message.size()) continue;
      allCuts.push_back(cut);
      EXPECT_EQ(this->DigestInPieces(known.message, {cut}), known.digestHex) << "split at " << cut;
    }
    EXPECT_EQ(this->DigestInPieces(known.message, allCuts), known.digestHex) << "split at all";
  }
}

TYPED_TEST(DigestTest, SplitAtEveryOffset) {
  constexpr std::size_t kLongestMessageSplit = 130;  // past two blocks
  for (std::size_t i = 0; i < this->KnownAnswers().size(); ++i) {
    const KnownAnswer& known = this->KnownAnswers()[i];
    if (known.message.size() > kLongestMessageSplit) continue;
    for (std::size_t cut = 0; cut <= known.message.size(); ++cut) {
      EXPECT_EQ(this->DigestInPieces(known.message, {cut}), known.digestHex)
          << this->CaseLabel(i) << ", split at " << cut;
    }
  }
}

TYPED_TEST(DigestTest, UnalignedInput) {
  for (std::size_t i = 0; i < this->KnownAnswers().size(); ++i) {
    SCOPED_TRACE(this->CaseLabel(i));
    const KnownAnswer& known = this->KnownAnswers()[i];
    for (std::size_t offset = 1; offset < 8; ++offset) {
      std::vector<char> storage(offset + known.message.size());
      std::memcpy(storage.data() + offset, known.message.data(), known.message.size());
      const char* shifted = storage.data() + offset;
      EXPECT_EQ(this->DigestInPieces(shifted, known.message.size(), {}), known.digestHex)
          << "offset " << offset;
      // A 3-byte head leaves whole blocks read from the caller's buffer at yet another alignment.
      if (known.message.size() >= 3) {
        EXPECT_EQ(this->DigestInPieces(shifted, known.message.size(), {3}), known.digestHex)
            << "offset " << offset << ", split at 3";
      }
    }
  }
}

TYPED_TEST(DigestTest, FinalStartsANewMessage) {
  const KnownAnswer first = this->KnownAnswerFor("abc");
  const KnownAnswer second = this->KnownAnswerFor(Alphabet(65));
  const KnownAnswer empty = this->KnownAnswerFor("");
  typename TestFixture::Context context;
  this->Feed(context, first.message.data(), first.message.size());
  EXPECT_EQ(this->FinalHex(context), first.digestHex);
  this->Feed(context, second.message.data(), second.message.size());
  EXPECT_EQ(this->FinalHex(context), second.digestHex);
  EXPECT_EQ(this->FinalHex(context), empty.digestHex);
}

TYPED_TEST(DigestTest, InitDiscardsPendingInput) {
  const KnownAnswer abc = this->KnownAnswerFor("abc");
  typename TestFixture::Context context;
  const std::string pending = Alphabet(100);  // one whole block plus a partial one
  this->Feed(context, pending.data(), pending.size());
  context.Init();
  this->Feed(context, abc.message.data(), abc.message.size());
  EXPECT_EQ(this->FinalHex(context), abc.digestHex);
}

TYPED_TEST(DigestTest, ZeroLengthUpdateChangesNothing) {
  const KnownAnswer known = this->KnownAnswerFor(Alphabet(63));
  typename TestFixture::Context context;
  context.Update(nullptr, 0);
  this->Feed(context, known.message.data(), 40);
  context.Update(nullptr, 0);
  context.Update(known.message.data(), 0);
  this->Feed(context, known.message.data() + 40, known.message.size() - 40);
  context.Update(known.message.data(), 0);
  EXPECT_EQ(this->FinalHex(context), known.digestHex);

  typename TestFixture::Context empty;
  empty.Update("x", 0);
  EXPECT_EQ(this->FinalHex(empty), this->KnownAnswerFor("").digestHex);
}

// The half-gigabyte messages below take tens of seconds in the unoptimised sanitizer build and
// minutes under valgrind, and check only length arithmetic, which the plain optimised builds
// cover; there they are skipped.

// Fed in 1 MiB pieces: the low word wraps and carries into the high word.
TYPED_TEST(DigestTest, BitCountCarriesIntoHighWord) {
  if (const char* reason = nodmark::testing::SlowRunSkipReason()) GTEST_SKIP() << reason;
  constexpr std::size_t kPieceSize = std::size_t{1} << 20;
  const std::vector<char> zeros(kPieceSize);
  typename TestFixture::Context context;
  std::size_t fed = 0;
  for (; fed + kPieceSize <= kLargeMessageSize; fed += kPieceSize) {
    this->Feed(context, zeros.data(), kPieceSize);
  }
  this->Feed(context, zeros.data(), kLargeMessageSize - fed);
  EXPECT_EQ(this->FinalHex(context), TypeParam::kLargeMessageDigest);
}

// Fed in one piece: byteCount * 8 itself exceeds 32 bits, and its top bits go to the high word.
TYPED_TEST(DigestTest, SingleHugeUpdateReachesHighWord) {
  if (const char* reason = nodmark::testing::SlowRunSkipReason()) GTEST_SKIP() << reason;
  std::vector<char> zeros;
  try {
    zeros.resize(kLargeMessageSize);
  } catch (const std::bad_alloc&) {
    GTEST_SKIP() << "no room for a " << kLargeMessageSize << "-byte buffer";
  }
  typename TestFixture::Context context;
  this->Feed(context, zeros.data(), zeros.size());
  EXPECT_EQ(this->FinalHex(context), TypeParam::kLargeMessageDigest);
}

}  // namespace
}  // namespace nodmark::core

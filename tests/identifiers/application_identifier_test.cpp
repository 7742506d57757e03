// The per-application identifier against HMACs computed by OpenSSL's command line.
#include "identifiers/application_identifier.h"

#include <gtest/gtest.h>

namespace nodmark::identifiers {
namespace {

TEST(ApplicationIdentifier, IsTheFirstHalfOfTheHmacInUpperCaseHex) {
  const struct {
    const char* identifier;
    const char* application;
    const char* expected;  // printf APPLICATION | openssl dgst -sha256 -hmac IDENTIFIER, cut to 32
  } cases[] = {
      {"0011223344550000", "com.example.invoicing", "DF5E0B07C5731B5268D2E3052A13DB1C"},
      {"0011223344550000", "com.example.payroll", "E0C1D7A0E6794AE1AB88F2704FCCBD14"},
      {"00112233445501A4", "caf\xC3\xA9", "D654088D47FE4BF0119E53988F04CF5D"},  // UTF-8 bytes
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ApplicationIdentifier(cases[i].identifier, cases[i].application), cases[i].expected)
        << "case " << i;
  }
}

TEST(ApplicationIdentifier, ChangesWithItsIdentifier) {
  EXPECT_NE(ApplicationIdentifier("FFFFFFFFFFFFFFFF", "a"),
            ApplicationIdentifier("FFFFFFFFFFFFFFFE", "a"));
}

}  // namespace
}  // namespace nodmark::identifiers

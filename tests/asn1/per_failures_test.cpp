// Defined failures: what the encoder refuses, and what the decoder refuses
// in arbitrary input, always as false.
#include <gtest/gtest.h>

#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Kinds.h"
#include "tests/asn1/LgcpSubset.h"
#include "tests/asn1/MonSubset.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool encodes(const ASN1::AbstractData& v, int rule = 2) {
  Bytes out{0xEE};
  const bool ok = ASN1::CoderEnv(rule).encode(v, std::back_inserter(out));
  EXPECT_TRUE(ok || out == Bytes{0xEE}) << "a failed encode appended bytes";
  return ok;
}

template <class T>
bool decodes(const Bytes& wire, int rule = 2) {
  T v;
  return ASN1::CoderEnv(rule).decode(wire.begin(), wire.end(), v);
}

TEST(PerEncodeFailures, ValuesOutsideTheirTypes) {
  for (int rule : {2, 3}) {
    SCOPED_TRACE(rule);
    EXPECT_FALSE(encodes(ASN1::Constrained_INTEGER<ASN1::Fixed, 0, 1023>(1024u), rule));
    EXPECT_FALSE(encodes(ASN1::Constrained_INTEGER<ASN1::Fixed, -128, 127u>(128u), rule));
    EXPECT_TRUE(encodes(ASN1::Constrained_INTEGER<ASN1::Extensible, 0, 100>(1000u), rule));
    Kinds::Color color;
    color.setValue(3);
    EXPECT_FALSE(encodes(color, rule)); // no extension marker
    color.setValue(-1);
    EXPECT_FALSE(encodes(color, rule));
    Kinds::Level level;
    level.setValue(500); // extension marker: goes out
    EXPECT_TRUE(encodes(level, rule));
    EXPECT_FALSE(encodes(Kinds::Label(std::string(65, 'a')), rule));
    Kinds::Strings s;
    s.get_digits() = "12a"; // not a NumericString character
    s.get_name() = "n";
    s.get_shortName() = "s";
    s.get_visible() = "v";
    s.get_fixedOctets().resize(4);
    s.get_pairOctets().resize(2);
    s.get_extOctets().resize(1);
    s.get_fixedBits().resize(12);
    s.get_longBits().resize(40);
    EXPECT_FALSE(encodes(s, rule));
    s.get_digits() = "12 3";
    EXPECT_TRUE(encodes(s, rule));
    s.get_fixedOctets().resize(5);
    EXPECT_FALSE(encodes(s, rule));
    Kinds::Numbers n;
    n.get_semi().setValue(-1); // below the lower bound
    EXPECT_FALSE(encodes(n, rule));
  }
  EXPECT_FALSE(encodes(ASN1::OCTET_STRING(16384, 0))); // needs a fragmented length
  EXPECT_TRUE(encodes(ASN1::OCTET_STRING(16383, 0)));
  EXPECT_FALSE(encodes(ASN1::INTEGER(1), ASN1::CoderEnv::ber));
}

TEST(PerDecodeFailures, ExhaustedInput) {
  EXPECT_FALSE(decodes<ASN1::BOOLEAN>({}));
  EXPECT_FALSE(decodes<Kinds::Inner>({}));             // extensible SEQUENCE
  EXPECT_FALSE(decodes<LgcpSubset::Response>({}));     // CHOICE of two
  EXPECT_TRUE(decodes<Kinds::Lone>({0x40}));
  EXPECT_FALSE(decodes<ASN1::INTEGER>({0x02, 0x01}));  // length says two octets
  EXPECT_FALSE(decodes<ASN1::OCTET_STRING>({0x05, 1, 2, 3}));
  EXPECT_FALSE(decodes<ASN1::IA5String>({0x03, 'a'}));
  EXPECT_TRUE(decodes<ASN1::Null>({}));
}

TEST(PerDecodeFailures, MalformedFields) {
  EXPECT_FALSE(decodes<ASN1::INTEGER>({0x05, 1, 2, 3, 4, 5}));  // more than four octets
  EXPECT_FALSE(decodes<ASN1::INTEGER>({0x00}));                 // no octets at all
  EXPECT_FALSE(decodes<ASN1::OCTET_STRING>({0xC1, 0x00}));      // fragmented length
  EXPECT_FALSE(decodes<Kinds::Color>({0xC0}));                  // 3 is no Color
  EXPECT_FALSE(decodes<Kinds::Label>({0xFC, 'a'}));             // length 64 of 1..64 needs 64 octets
  EXPECT_FALSE(decodes<ASN1::NumericString>({0x01, 0xF0}));     // position 15 of 11
  // An extension alternative this module does not know.
  EXPECT_FALSE(decodes<Kinds::Pick>({0x85, 0x01, 0x00}));
  // A skipped unknown extension addition that runs past the end.
  EXPECT_FALSE(decodes<Kinds::Inner>({0x80, 0x00, 0x05, 0x01, 0x05, 0x01}));
  EXPECT_TRUE(decodes<Kinds::Inner>({0x80, 0x00, 0x05, 0x01, 0x01, 0x01}));
}

TEST(PerDecodeFailures, LimitsOnCountsAndLengths) {
  // 129 elements of SEQUENCE OF INTEGER, each present in the input.
  Bytes many{0x80, 129};
  for (int i = 0; i < 129; ++i) many.insert(many.end(), {0x01, 0x00});
  EXPECT_FALSE(decodes<ASN1::SEQUENCE_OF<ASN1::INTEGER>>(many));
  Bytes enough{0x80, 128};
  for (int i = 0; i < 128; ++i) enough.insert(enough.end(), {0x01, 0x00});
  EXPECT_TRUE(decodes<ASN1::SEQUENCE_OF<ASN1::INTEGER>>(enough));
  // An extension map of more than 128 bits: normally small number 128.
  EXPECT_FALSE(decodes<Kinds::Inner>({0x80, 0x00, 0x05, 0x80, 0x01, 0x80, 0xFF}));
  // A claimed string length far beyond the input allocates nothing first.
  EXPECT_FALSE(decodes<ASN1::BMPString>({0xBF, 0xFF, 0x00}));
}

TEST(PerDecodeFailures, FailedSequenceOfElementsAreRemoved) {
  MonSubset::SnmpTrapsinks sinks;
  const Bytes wire{0x00, 0x02, 0x00, 0x01, 'a', 0x00, 0x05}; // second element cut short
  EXPECT_FALSE(ASN1::CoderEnv().decode(wire.begin(), wire.end(), sinks));
  EXPECT_EQ(1u, sinks.get_trapsinks().size());
}

} // namespace

// The building blocks of the PER wire format, in both variants.
#include <gtest/gtest.h>

#include <vector>

#include "asn1/per_decoder.h"
#include "asn1/per_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const ASN1::ByteBuffer& b) { return Bytes(b.data(), b.data() + b.size()); }

TEST(PerBlocks, CountBits) {
  EXPECT_EQ(32u, ASN1::CountBits(0));
  EXPECT_EQ(0u, ASN1::CountBits(1));
  EXPECT_EQ(1u, ASN1::CountBits(2));
  EXPECT_EQ(8u, ASN1::CountBits(256));
  EXPECT_EQ(9u, ASN1::CountBits(257));
  EXPECT_EQ(32u, ASN1::CountBits(1ull << 32));
}

TEST(PerBlocks, ConstrainedWholeNumbers) {
  const struct {
    std::int64_t v, lo, hi;
    bool aligned;
    Bytes wire;
  } cases[] = {
      {3, 0, 7, true, {0x60}},            // 3 bits, no alignment
      {255, 0, 255, true, {0xFF}},        // range 256: one aligned octet
      {256, 0, 256, true, {0x01, 0x00}},  // two aligned octets
      {5, 0, 65535, true, {0x00, 0x05}},
      {65536, 0, 65536, true, {0x80, 0x01, 0x00, 0x00}}, // octet count 1..3 in 2 bits, then 3 octets
      {256, 0, 256, false, {0x80, 0x00}}, // unaligned: 9 bits
      {-1, -128, 127, true, {0x7F}},
      {7, 7, 7, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.v);
    ASN1::ByteBuffer buf;
    ASN1::PEREncoder enc(buf, c.aligned);
    ASSERT_TRUE(enc.encodeConstrainedWholeNumber(c.v, c.lo, c.hi));
    EXPECT_EQ(c.wire, bytesOf(buf));
    ASN1::PERDecoder dec(c.wire.data(), c.wire.data() + c.wire.size(), c.aligned);
    std::int64_t back = 0;
    ASSERT_TRUE(dec.decodeConstrainedWholeNumber(c.lo, c.hi, back));
    EXPECT_EQ(c.v, back);
  }
  ASN1::ByteBuffer buf;
  EXPECT_FALSE(ASN1::PEREncoder(buf, true).encodeConstrainedWholeNumber(8, 0, 7));
  // A bit pattern beyond the range names no value.
  const Bytes beyond{0xFF};
  std::int64_t v = 0;
  EXPECT_FALSE(ASN1::PERDecoder(beyond.data(), beyond.data() + 1, true).decodeConstrainedWholeNumber(0, 5, v));
}

TEST(PerBlocks, NormallySmallNumbersAndGeneralLengths) {
  const struct {
    std::uint32_t n;
    Bytes wire;
  } small[] = {{0, {0x00}}, {63, {0x7E}}, {64, {0x80, 0x01, 0x40}}, {300, {0x80, 0x02, 0x01, 0x2C}}};
  for (const auto& c : small) {
    ASN1::ByteBuffer buf;
    ASN1::PEREncoder(buf, true).encodeNormallySmallNumber(c.n);
    EXPECT_EQ(c.wire, bytesOf(buf)) << c.n;
    std::uint32_t back = 0;
    ASSERT_TRUE(ASN1::PERDecoder(c.wire.data(), c.wire.data() + c.wire.size(), true).decodeNormallySmallNumber(back));
    EXPECT_EQ(c.n, back);
  }
  const struct {
    std::uint32_t len;
    Bytes wire;
  } lengths[] = {{0, {0x00}}, {127, {0x7F}}, {128, {0x80, 0x80}}, {16383, {0xBF, 0xFF}}};
  for (const auto& c : lengths) {
    ASN1::ByteBuffer buf;
    ASSERT_TRUE(ASN1::PEREncoder(buf, true).encodeGeneralLength(c.len));
    EXPECT_EQ(c.wire, bytesOf(buf)) << c.len;
    std::uint32_t back = 0;
    ASSERT_TRUE(ASN1::PERDecoder(c.wire.data(), c.wire.data() + c.wire.size(), true).decodeGeneralLength(back));
    EXPECT_EQ(c.len, back);
  }
  ASN1::ByteBuffer buf;
  EXPECT_FALSE(ASN1::PEREncoder(buf, true).encodeGeneralLength(16384)); // would need fragments
  const Bytes fragment{0xC1, 0x00};
  std::uint32_t len = 0;
  EXPECT_FALSE(ASN1::PERDecoder(fragment.data(), fragment.data() + 2, true).decodeGeneralLength(len));
}

TEST(PerBlocks, BoundedLengthsInTheUnalignedVariant) {
  ASN1::ByteBuffer buf;
  ASN1::PEREncoder enc(buf, false);
  ASSERT_TRUE(enc.encodeLengthDeterminant(5, 1, 64)); // 6 bits: 000100
  EXPECT_EQ(Bytes{0x10}, bytesOf(buf));
  std::uint32_t len = 0;
  const Bytes wire{0x10};
  ASSERT_TRUE(ASN1::PERDecoder(wire.data(), wire.data() + 1, false).decodeLengthDeterminant(1, 64, len));
  EXPECT_EQ(5u, len);
}

} // namespace

// The wire examples of the control and management protocols, byte for
// byte, encoded and decoded back.
#include <gtest/gtest.h>

#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Kinds.h"
#include "tests/asn1/LgcpSubset.h"
#include "tests/asn1/MonSubset.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace LgcpSubset;

Bytes encode(const ASN1::AbstractData& v, int rule = ASN1::CoderEnv::per_Aligned) {
  Bytes out;
  EXPECT_TRUE(ASN1::CoderEnv(rule).encode(v, std::back_inserter(out)));
  return out;
}

template <class T>
T decodeAs(const Bytes& bytes, int rule = ASN1::CoderEnv::per_Aligned) {
  T value;
  EXPECT_TRUE(ASN1::decode(bytes.begin(), bytes.end(), ASN1::CoderEnv(rule), value, true));
  return value;
}

Message successResponse() {
  Message m;
  m.set_seq(5);
  m.set_slot(3);
  m.get_pdu().get_response().set_success(ASN1::Null());
  return m;
}

Message createTrunkCommand() {
  Message m;
  m.set_seq(7);
  m.set_slot(10);
  TrunkParams& trunk = m.get_pdu().get_command().get_create().get_trunk();
  trunk.set_trunk(0);
  trunk.set_timeslot(5);
  return m;
}

TEST(PerExamples, SuccessResponseIsSixOctets) {
  const Message m = successResponse();
  const Bytes wire{0xC0, 0x01, 0x05, 0x00, 0x03, 0x40};
  EXPECT_EQ(wire, encode(m));
  const auto back = decodeAs<Message>(wire);
  EXPECT_EQ(m, back);
  EXPECT_EQ(5, back.get_seq());
  EXPECT_EQ(3u, back.get_slot().getValue());
  EXPECT_TRUE(back.get_pdu().is_response() && back.get_pdu().get_response().is_success());
}

TEST(PerExamples, PingWithoutSeqAndSlot) {
  Message m;
  m.get_pdu().get_command().set_ping(ASN1::Null());
  const Bytes wire{0x06, 0x00};
  EXPECT_EQ(wire, encode(m));
  const auto back = decodeAs<Message>(wire);
  EXPECT_FALSE(back.has_seq());
  EXPECT_FALSE(back.has_slot());
  EXPECT_TRUE(back.get_pdu().get_command().is_ping());
}

TEST(PerExamples, CreateTrunkCommand) {
  const Message m = createTrunkCommand();
  const Bytes wire{0xC0, 0x01, 0x07, 0x00, 0x0A, 0x08, 0x38, 0x00, 0x28};
  EXPECT_EQ(wire, encode(m));
  const auto back = decodeAs<Message>(wire);
  EXPECT_EQ(m, back);
  EXPECT_EQ(5u, back.get_pdu().get_command().get_create().get_trunk().get_timeslot().getValue());
}

TEST(PerExamples, ManagementPingIsOneOctet) {
  MonSubset::Message m;
  m.get_pdu().get_command().set_ping(ASN1::Null());
  EXPECT_EQ(Bytes{0x18}, encode(m));
  EXPECT_TRUE(decodeAs<MonSubset::Message>(Bytes{0x18}).get_pdu().get_command().is_ping());
}

TEST(PerExamples, UnconstrainedIntegers) {
  const struct {
    int value;
    Bytes wire;
  } cases[] = {
      {-1, {0x01, 0xFF}}, {-129, {0x02, 0xFF, 0x7F}}, {128, {0x02, 0x00, 0x80}}, {0, {0x01, 0x00}},
      {127, {0x01, 0x7F}}, {-128, {0x01, 0x80}}, {2147483647, {0x04, 0x7F, 0xFF, 0xFF, 0xFF}},
      {-2147483647 - 1, {0x04, 0x80, 0x00, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(c.wire, encode(ASN1::INTEGER(c.value)));
    EXPECT_EQ(c.value, decodeAs<ASN1::INTEGER>(c.wire).getValue());
  }
}

TEST(PerExamples, ConstrainedIntegers) {
  using Wide = ASN1::Constrained_INTEGER<ASN1::Fixed, 0, 4294967295u>;
  using Signed = ASN1::Constrained_INTEGER<ASN1::Fixed, -128, 127u>;
  EXPECT_EQ((Bytes{0x00, 0x00}), encode(Wide(0u)));
  EXPECT_EQ((Bytes{0x80, 0x01, 0x11, 0x70}), encode(Wide(70000u)));
  EXPECT_EQ((Bytes{0xC0, 0xFF, 0xFF, 0xFF, 0xFF}), encode(Wide(4294967295u)));
  EXPECT_EQ(70000u, decodeAs<Wide>(Bytes{0x80, 0x01, 0x11, 0x70}).getValue());
  EXPECT_EQ(4294967295u, decodeAs<Wide>(Bytes{0xC0, 0xFF, 0xFF, 0xFF, 0xFF}).getValue());
  Signed minusOne;
  minusOne.setValue(-1);
  EXPECT_EQ(Bytes{0x7F}, encode(minusOne));
  EXPECT_EQ(-1, decodeAs<Signed>(Bytes{0x7F}).INTEGER::getValue());
}

TEST(PerExamples, BoundedIa5StringIsLengthThenAlignedOctets) {
  const Kinds::Label two("ab");
  EXPECT_EQ((Bytes{0x04, 0x61, 0x62}), encode(two));
  EXPECT_EQ("ab", static_cast<const std::string&>(decodeAs<Kinds::Label>(Bytes{0x04, 0x61, 0x62})));
  Bytes out{0xAA};
  EXPECT_FALSE(ASN1::CoderEnv().encode(Kinds::Label(""), std::back_inserter(out)));
  EXPECT_EQ(Bytes{0xAA}, out);
}

TEST(PerExamples, UnknownExtensionAdditionAtTheVeryEnd) {
  Kinds::NewInner newer;
  newer.set_id(5);
  newer.set_more(7);
  const Bytes wire = encode(newer);
  // Extension bit, optional bit 0, id in two aligned octets; map size 2 - 1
  // and the map 1 0; the one open type last.
  EXPECT_EQ((Bytes{0x80, 0x00, 0x05, 0x03, 0x00, 0x02, 0x01, 0x07}), wire);
  Kinds::Inner older;
  ASSERT_TRUE(ASN1::CoderEnv().decode(wire.begin(), wire.end(), older));
  EXPECT_EQ(5u, older.get_id().getValue());
  // Sent on, the older type claims no additions it cannot encode.
  EXPECT_EQ((Bytes{0x00, 0x00, 0x05}), encode(older));
}

TEST(PerExamples, ClearedExtensionBitsEncodeAsNoExtension) {
  Kinds::NewInner v;
  v.set_id(5);
  const Bytes plain = encode(v);
  v.set_most("x");
  v.remove_most();
  EXPECT_EQ(2u, v.extensionMap().size());
  EXPECT_EQ(plain, encode(v));
  EXPECT_EQ((Bytes{0x00, 0x00, 0x05}), plain);
}

TEST(PerExamples, ExtensionAlternativeIsAnOpenType) {
  Kinds::Pick pick;
  pick.set_later(true);
  const Bytes wire = encode(pick);
  EXPECT_EQ((Bytes{0x80, 0x01, 0x80}), wire);
  EXPECT_TRUE(decodeAs<Kinds::Pick>(wire).get_later());
  Kinds::OldPick older;
  EXPECT_FALSE(ASN1::CoderEnv().decode(wire.begin(), wire.end(), older));
}

TEST(PerExamples, TruncatedConstrainedIntegerFails) {
  const Bytes cut{0xC0, 0x01, 0x05, 0x00};
  Message m;
  EXPECT_FALSE(ASN1::CoderEnv().decode(cut.begin(), cut.end(), m));
}

TEST(PerExamples, EveryProperPrefixFailsToDecode) {
  for (const Message& m : {successResponse(), createTrunkCommand()}) {
    const Bytes wire = encode(m);
    for (std::size_t n = 0; n < wire.size(); ++n) {
      Message partial;
      EXPECT_FALSE(ASN1::CoderEnv().decode(wire.begin(), wire.begin() + std::ptrdiff_t(n), partial)) << n;
    }
  }
}

TEST(PerExamples, TrailingBytesAreIgnored) {
  const Bytes wire{0xC0, 0x01, 0x05, 0x00, 0x03, 0x40, 0xDE, 0xAD};
  EXPECT_EQ(successResponse(), decodeAs<Message>(wire));
}

TEST(PerExamples, UnalignedVariantLeavesOutAlignmentOfBoundedFields) {
  // seq still has its aligned general length; slot takes 10 bits, the
  // response index 2 bits and the success index 1 bit, without padding.
  const Message m = successResponse();
  EXPECT_EQ((Bytes{0xC0, 0x01, 0x05, 0x00, 0xD0}), encode(m, ASN1::CoderEnv::per_Unaligned));
  EXPECT_EQ(m, decodeAs<Message>(Bytes{0xC0, 0x01, 0x05, 0x00, 0xD0}, ASN1::CoderEnv::per_Unaligned));
}

} // namespace

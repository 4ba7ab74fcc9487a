// The documented encodings of the carried modules, octet for octet, in both
// directions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

#include "protocol/lgcp/LGCP.h"
#include "tests/protocol/value_access.h"

namespace protocol_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<ASN1::AbstractData> decoded(std::string_view type, const Bytes& bytes) {
  auto value = make(type);
  if (!ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).decode(bytes.begin(), bytes.end(), *value)) return nullptr;
  return value;
}

std::unique_ptr<ASN1::AbstractData> successResponse() {
  auto msg = make("LGCP.Message");
  as<ASN1::INTEGER>(component(*msg, "seq")).setValue(5);
  as<ASN1::INTEGER>(component(*msg, "slot")).setValue(3);
  choose(choose(component(*msg, "pdu"), "response"), "success");
  return msg;
}

TEST(LgcpEncoding, SuccessResponseIsSixOctets) {
  const Bytes wire = {0xC0, 0x01, 0x05, 0x00, 0x03, 0x40};
  const auto msg = successResponse();
  EXPECT_EQ(encoded(*msg), wire);
  const auto back = decoded("LGCP.Message", wire);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->compare(*msg), 0);
  EXPECT_EQ(back->asValueNotation(), "{\n  seq 5,\n  slot 3,\n  pdu response : success : NULL\n}");
}

TEST(LgcpEncoding, PingCommandWithoutSeqOrSlot) {
  const Bytes wire = {0x06, 0x00};
  auto msg = make("LGCP.Message");
  choose(choose(component(*msg, "pdu"), "command"), "ping");
  EXPECT_EQ(encoded(*msg), wire);
  const auto back = decoded("LGCP.Message", wire);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->compare(*msg), 0);
  EXPECT_EQ(back->asValueNotation(), "{\n  pdu command : ping : NULL\n}");
}

TEST(MonEncoding, PingCommandIsOneOctet) {
  auto msg = make("MON.Message");
  choose(choose(component(*msg, "pdu"), "command"), "ping");
  EXPECT_EQ(encoded(*msg), Bytes{0x18});
  const auto back = decoded("MON.Message", Bytes{0x18});
  ASSERT_TRUE(back);
  EXPECT_EQ(back->compare(*msg), 0);
}

// The generated classes build the same octets as the descriptors alone:
// {seq 7, slot 10, command create trunk {trunk 0, timeslot 5}}.
TEST(LgcpEncoding, CreateTrunkThroughTheGeneratedAccessors) {
  LGCP::Message msg;
  msg.set_seq(ASN1::INTEGER(7));
  msg.set_slot(LGCP::Message::slot::value_type(10u));
  auto& trunk = msg.get_pdu().get_command().get_create().get_trunk();
  trunk.set_trunk(LGCP::TrunkParams::trunk::value_type(0u));
  trunk.set_timeslot(LGCP::TrunkParams::timeslot::value_type(5u));
  // optional bits 11, seq 01 07, slot 00 0A, then command (00), no extension,
  // create (0100), no extension, trunk (00111), trunk 0 aligned, timeslot 5 in five bits
  const Bytes wire = {0xC0, 0x01, 0x07, 0x00, 0x0A, 0x08, 0x38, 0x00, 0x28};
  EXPECT_EQ(encoded(msg), wire);
  LGCP::Message back;
  ASSERT_TRUE(ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).decode(wire.begin(), wire.end(), back));
  EXPECT_EQ(back.compare(msg), 0);
  EXPECT_TRUE(back.get_pdu().get_command().get_create().is_trunk());
  EXPECT_EQ(back.get_pdu().get_command().get_create().get_trunk().get_timeslot().getValue(), 5u);
}

// Enumerations with explicit values are encoded by value, up to the largest.
struct EnumCase {
  const char* type;
  const char* name;
  Bytes wire; // empty: cannot be encoded
};

std::ostream& operator<<(std::ostream& os, const EnumCase& c) { return os << c.type << " " << c.name; }

class EnumByValue : public ::testing::TestWithParam<EnumCase> {};

TEST_P(EnumByValue, EncodesTheValueItself) {
  const auto& c = GetParam();
  auto value = make(c.type);
  ASSERT_TRUE(as<ASN1::ENUMERATED>(*value).setFromName(c.name));
  if (c.wire.empty()) {
    EXPECT_FALSE(encodes(*value));
    return;
  }
  EXPECT_EQ(encoded(*value), c.wire);
  const auto back = decoded(c.type, c.wire);
  ASSERT_TRUE(back);
  EXPECT_EQ(as<ASN1::ENUMERATED>(*back).asInt(), as<ASN1::ENUMERATED>(*value).asInt());
}

INSTANTIATE_TEST_SUITE_P(
    Carried, EnumByValue,
    ::testing::Values(
        // extension bit, then 4097 in 0..13056: two aligned octets
        EnumCase{"ORVAGW.ProtoOrvaMsgID", "gw-get-id", {0x00, 0x10, 0x01}},
        EnumCase{"ORVAGW.ProtoOrvaMsgID", "ali-server-p1", {0x00, 0x33, 0x00}},
        // extension bit, then one aligned octet in 0..255
        EnumCase{"ORVAGW.ProtoOrvaAnalogGainIDV1", "fake", {0x00, 0xFF}},
        EnumCase{"ORVAGW.ProtoOrvaAnalogGainIDV1", "spi", {0x00, 0x0C}},
        EnumCase{"ORVAGW.ProtoOrvaAnalogGainIDV1", "max", {0x00, 0x0A}}, // alias of rsh
        EnumCase{"ORVAGW.ProtoOrvaAnalogGainIDV2", "rdoc1", {0x00, 0x0B}},
        // 0..56 in six bits, no extension marker: ef is 46 = 101110
        EnumCase{"TERM.IpQoSDSCP", "ef", {0xB8}},
        EnumCase{"TERM.IpQoSDSCP", "cs7", {0xE0}},
        EnumCase{"TERM.IpQoSDSCP", "count", {0x5C}}, // 23 = 010111
        // 0..1 in one bit; -1 lies below the range
        EnumCase{"TERM.RadioStandby", "standby", {0x80}},
        EnumCase{"TERM.RadioStandby", "not-use", {}},
        // 1000..2099 are values, not positions: 0..2099 takes 16 aligned bits
        EnumCase{"TERM.ED137CauseCode", "radio-no-permissions", {0x00, 0x08, 0x33}},
        EnumCase{"LGCP.ErrorCause", "destroyInProgress", {0x60}}), // 0 1100
    [](const auto& info) {
      std::string name = std::string(info.param.type) + "_" + info.param.name;
      for (auto& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(TermEncoding, DnameNeedsOneToSixtyFourCharacters) {
  auto params = make("TERM.RtpParams");
  auto& dname = as<ASN1::AbstractString>(component(*params, "dname"));
  std::unique_ptr<ASN1::AbstractData> alone(dname.info()->create(dname.info()));
  as<ASN1::AbstractString>(*alone) = "ab";
  // length - 1 in six bits, then the characters as aligned octets
  EXPECT_EQ(encoded(*alone), (Bytes{0x04, 0x61, 0x62}));
  EXPECT_FALSE(encodes(*params)) << "an RtpParams with an empty dname was encoded";
  dname = "x";
  EXPECT_TRUE(encodes(*params));
  dname = std::string(65, 'x');
  EXPECT_FALSE(encodes(*params));
}

TEST(TermEncoding, SsrcIsAWholeThirtyTwoBitRange) {
  auto params = make("TERM.RtpParams");
  auto& ssrc = as<ASN1::INTEGER>(component(*params, "ssrc"));
  std::unique_ptr<ASN1::AbstractData> alone(ssrc.info()->create(ssrc.info()));
  // octet count in two bits, then the octets aligned
  EXPECT_EQ(encoded(*alone), (Bytes{0x00, 0x00}));
  as<ASN1::INTEGER>(*alone).setValue(70000);
  EXPECT_EQ(encoded(*alone), (Bytes{0x80, 0x01, 0x11, 0x70}));
  as<ASN1::INTEGER>(*alone).setValue(int(4294967295u));
  EXPECT_EQ(encoded(*alone), (Bytes{0xC0, 0xFF, 0xFF, 0xFF, 0xFF}));
  const auto back = decoded("TERM.RtpParams", encoded(*params));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->compare(*params), 0);
}

TEST(LgcpEncoding, ToneDoneIsAnExtensionAlternative) {
  auto event = make("LGCP.TonecEvent");
  as<ASN1::INTEGER>(component(*event, "timestamp")).setValue(1);
  choose(component(*event, "event"), "dtmfDone");
  // timestamp 01 01; extension bit 1, index 0 as a small number, empty open type as one zero octet
  const Bytes wire = {0x01, 0x01, 0x80, 0x01, 0x00};
  EXPECT_EQ(encoded(*event), wire);
  const auto back = decoded("LGCP.TonecEvent", wire);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->compare(*event), 0);
}

} // namespace
} // namespace protocol_test

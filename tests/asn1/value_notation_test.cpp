// The value-notation text of log lines.
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Kinds.h"
#include "tests/asn1/LgcpSubset.h"
#include "tests/asn1/MonSubset.h"

namespace {

using namespace LgcpSubset;

TEST(ValueNotation, SuccessResponseIsFiveLines) {
  Message m;
  m.set_seq(5);
  m.set_slot(3);
  m.get_pdu().get_response().set_success(ASN1::Null());
  EXPECT_EQ("{\n  seq 5,\n  slot 3,\n  pdu response : success : NULL\n}", m.asValueNotation());
  std::ostringstream os;
  os.width(40);
  os << m;
  EXPECT_EQ(m.asValueNotation(), os.str());
  // Rule 0 produces the same text as bytes.
  std::vector<char> bytes;
  ASSERT_TRUE(ASN1::CoderEnv(ASN1::CoderEnv::avn).encode(m, std::back_inserter(bytes)));
  EXPECT_EQ(m.asValueNotation(), std::string(bytes.begin(), bytes.end()));
}

TEST(ValueNotation, AbsentOptionalComponentsDoNotAppear) {
  Message m;
  m.set_slot(1023);
  m.get_pdu().get_command().set_ping(ASN1::Null());
  EXPECT_EQ("{\n  slot 1023,\n  pdu command : ping : NULL\n}", m.asValueNotation());
}

TEST(ValueNotation, OctetStrings) {
  EXPECT_EQ("'0a ff'H", ASN1::OCTET_STRING(std::vector<std::uint8_t>{0x0A, 0xFF}).asValueNotation());
  EXPECT_EQ("''H", ASN1::OCTET_STRING().asValueNotation());
  std::ostringstream os;
  os << std::hex << std::setfill('*') << ASN1::OCTET_STRING(std::vector<std::uint8_t>{0x01}) << ' ' << 255;
  EXPECT_EQ("'01'H 255", os.str());
}

TEST(ValueNotation, SequenceOfLayouts) {
  MonSubset::SnmpSetCommands none;
  EXPECT_EQ("{\n  commands {\n  }\n}", none.asValueNotation());
  EntryList one;
  Entry e;
  e.set_name("a");
  e.set_id(-1);
  e.set_weight(7);
  e.set_label("x");
  one.push_back(e);
  EXPECT_EQ("{\n  {\n    name \"a\",\n    id -1,\n    weight 7,\n    label \"x\"\n  }\n}", one.asValueNotation());
  ASN1::SEQUENCE_OF<ASN1::INTEGER> numbers;
  numbers.push_back(1);
  numbers.push_back(2);
  EXPECT_EQ("{\n  1,\n  2\n}", numbers.asValueNotation());
}

TEST(ValueNotation, ScalarKinds) {
  EXPECT_EQ("-1", ASN1::INTEGER(-1).asValueNotation());
  EXPECT_EQ("4294967295", (ASN1::Constrained_INTEGER<ASN1::Fixed, 0, 4294967295u>(4294967295u).asValueNotation()));
  EXPECT_EQ("TRUE", ASN1::BOOLEAN(true).asValueNotation());
  EXPECT_EQ("{ 1 2 3 }", ASN1::OBJECT_IDENTIFIER({1, 2, 3}).asValueNotation());
  ASN1::BIT_STRING bits;
  const std::uint8_t b[] = {0xA0};
  bits.assign(b, 3);
  EXPECT_EQ("'101'B", bits.asValueNotation());
  EXPECT_EQ("\"a b\"", ASN1::IA5String("a b").asValueNotation());
  EXPECT_EQ("unexpectedMsgType", ErrorCause(ErrorCause::unexpectedMsgType).asValueNotation());
  ErrorCause unknown;
  unknown.setValue(40);
  EXPECT_EQ("40", unknown.asValueNotation());
  Kinds::Level level(Kinds::Level::high);
  EXPECT_EQ("high", level.asValueNotation());
  Kinds::Priority p;
  p = 5;
  EXPECT_EQ("normal", p.asValueNotation());
  p = 6;
  EXPECT_EQ("6", p.asValueNotation());
  ASN1::GeneralizedTime t;
  ASSERT_TRUE(t.set("20240102030405.250+0130"));
  EXPECT_EQ("\"20240102030405.250+0130\"", t.asValueNotation());
  EXPECT_EQ("{{ 0, 0, 1, 2}, { 0, 0, 0, 65}}", ASN1::BMPString(std::wstring{wchar_t(0x102), L'A'}).asValueNotation());
}

TEST(ValueNotation, UnselectedChoiceFailsThePrint) {
  Message m;
  m.set_seq(1);
  std::ostringstream os;
  os << m;
  EXPECT_TRUE(os.fail());
  EXPECT_EQ("{\n  seq 1,\n  pdu ", os.str());
  os << ASN1::INTEGER(3);
  EXPECT_EQ("{\n  seq 1,\n  pdu ", os.str());
  std::vector<char> out{'x'};
  EXPECT_FALSE(ASN1::CoderEnv(ASN1::CoderEnv::avn).encode(m, std::back_inserter(out)));
  EXPECT_EQ(1u, out.size());
}

TEST(ValueNotation, NestedValuesIndentByTwoPerLevel) {
  Message m;
  BpcTestParams& t = m.get_pdu().get_command().get_testBpc();
  t.get_mode().set_write(ASN1::Null());
  EXPECT_EQ("{\n  pdu command : testBpc : {\n    bus 0,\n    seed 0,\n    mode write : NULL,\n"
            "    timeslot-start 0,\n    timeslot-length 0\n  }\n}",
            m.asValueNotation());
  Kinds::EmptyExt empty;
  EXPECT_EQ("{\n}", empty.asValueNotation());
}

} // namespace

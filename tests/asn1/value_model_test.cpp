// Values made from descriptors: defaults, optional bits, ownership,
// comparison, names and the time text.
#include <gtest/gtest.h>

#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Kinds.h"
#include "tests/asn1/LgcpSubset.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BitMap, ReadsZeroPastTheEndAndKeepsBitsOnResize) {
  ASN1::BitMap map(3);
  map.set(0);
  map.set(2);
  map.set(3); // past the end: ignored
  EXPECT_TRUE(map.test(0));
  EXPECT_FALSE(map.test(3));
  EXPECT_EQ(0xA0, map.data()[0]);
  map.resize(200); // beyond the inline storage
  EXPECT_TRUE(map.test(2));
  EXPECT_FALSE(map.test(199));
  map.resize(1);
  map.resize(3);
  EXPECT_FALSE(map.test(2));
}

TEST(Sequence, MadeFromItsDescriptor) {
  Kinds::Inner inner;
  EXPECT_TRUE(inner.getField(0) != nullptr);
  EXPECT_FALSE(inner.has_label());
  EXPECT_EQ(nullptr, inner.getField(1));
  Bytes out;
  EXPECT_TRUE(ASN1::CoderEnv().encode(inner, std::back_inserter(out)));
  // A mandatory extension addition is there by default.
  Kinds::Structures s;
  EXPECT_TRUE(s.hasOptionalField(s.info()->optionalCount + 1));
  EXPECT_FALSE(s.hasOptionalField(s.info()->optionalCount));
}

TEST(Sequence, UnselectedChoiceAnywhereFailsTheEncodeAndLeavesOutputAlone) {
  LgcpSubset::Message m; // pdu made but not chosen
  Bytes out{1, 2, 3};
  EXPECT_FALSE(ASN1::CoderEnv().encode(m, std::back_inserter(out)));
  m.get_pdu().get_command().get_create(); // nested CreateParams still unchosen
  EXPECT_FALSE(ASN1::CoderEnv(ASN1::CoderEnv::per_Unaligned).encode(m, std::back_inserter(out)));
  EXPECT_EQ((Bytes{1, 2, 3}), out);
}

TEST(Sequence, RemovingAndIncludingAgainKeepsTheValue) {
  Kinds::Inner inner;
  inner.set_label("kept");
  inner.remove_label();
  EXPECT_FALSE(inner.has_label());
  EXPECT_EQ("kept", static_cast<const std::string&>(inner.get_label()));
  Kinds::Inner other;
  other.set_id(0);
  EXPECT_EQ(0, inner.compare(other)); // the removed value takes no part
  inner.includeOptionalField(0, 1);
  EXPECT_EQ("kept", static_cast<const std::string&>(inner.get_label()));
}

TEST(Sequence, CloneIsDeepAndKeepsTheType) {
  LgcpSubset::Message m;
  m.set_seq(9);
  m.get_pdu().get_command().set_userData(ASN1::OCTET_STRING(2, 0x55));
  std::unique_ptr<ASN1::AbstractData> copy(m.clone());
  ASSERT_NE(nullptr, dynamic_cast<LgcpSubset::Message*>(copy.get()));
  EXPECT_EQ(0, copy->compare(m));
  m.get_pdu().get_command().get_userData()[0] = 0x56;
  EXPECT_LT(copy->compare(m), 0);
}

TEST(Choice, DecodingTheSameAlternativeReusesItsObject) {
  // A removed optional component stays in its slot; it is still there after
  // the decode only if the decoder kept the alternative's object.
  LgcpSubset::Message target;
  LgcpSubset::MapParams& kept = target.get_pdu().get_command().get_create().get_map();
  kept.get_receiver().set_bus(9);
  LgcpSubset::Message sent;
  sent.get_pdu().get_command().get_create().get_map().get_transmitter().set_bus(1);
  sent.get_pdu().get_command().get_create().get_map().includeOptionalField(0, 0);
  Bytes wire;
  ASSERT_TRUE(ASN1::CoderEnv().encode(sent, std::back_inserter(wire)));
  ASSERT_TRUE(ASN1::CoderEnv().decode(wire.begin(), wire.end(), target));
  const LgcpSubset::MapParams& after = target.get_pdu().get_command().get_create().get_map();
  EXPECT_EQ(&kept, &after);
  EXPECT_FALSE(after.has_receiver());
  ASSERT_NE(nullptr, after.getField(1));
  EXPECT_EQ(9u, after.get_receiver().get_bus().getValue());
  EXPECT_EQ(0, target.compare(sent));
}

TEST(Choice, CompareLooksOnlyAtSelectionsWhenTheyDiffer) {
  LgcpSubset::Command a, b;
  a.set_connect(1000);
  b.set_ping(ASN1::Null());
  EXPECT_EQ(2 - 12, a.compare(b));
  EXPECT_EQ(12 - 2, b.compare(a));
}

TEST(Choice, CreateSelectionRefusesUnknownAlternatives) {
  LgcpSubset::Response r;
  EXPECT_FALSE(r.createSelection());
  EXPECT_EQ(-2, r.selection());
  EXPECT_FALSE(r.select(2));
  EXPECT_EQ(nullptr, r.alternative());
  EXPECT_TRUE(r.select(1));
}

TEST(SequenceOf, ResizeAppendsDefaultsAndDropsElements) {
  LgcpSubset::EntryList list;
  list.resize(3);
  list[2].set_id(4);
  EXPECT_EQ(3u, list.size());
  list.resize(1);
  EXPECT_EQ(1u, list.size());
  list.resize(3);
  EXPECT_EQ(0, list[2].get_id());
  list.erase(list.begin());
  EXPECT_EQ(2u, list.size());
}

TEST(Enumerated, NamesWithExplicitValuesGapsAndAliases) {
  Kinds::Level level;
  EXPECT_TRUE(level.setFromName("high"));
  EXPECT_EQ(10, level.asInt());
  EXPECT_TRUE(level.setFromName("beyond"));
  EXPECT_EQ(21, level.asInt());
  EXPECT_TRUE(level.getName().empty()); // above the root maximum
  level.setValue(7);
  EXPECT_TRUE(level.getName().empty()); // a gap
  EXPECT_FALSE(level.setFromName("nothing"));
  Kinds::Alias alias;
  EXPECT_TRUE(alias.setFromName("count"));
  EXPECT_EQ(3, alias.asInt());
  EXPECT_EQ("max", alias.getName());
  EXPECT_EQ(3, alias.getMaximum());
  EXPECT_FALSE(alias.extendable());
}

TEST(GeneralizedTime, TextWithFractionAndZone) {
  ASN1::GeneralizedTime t;
  ASSERT_TRUE(t.set("20240102030405.250+0130"));
  EXPECT_EQ(250, t.millisec);
  EXPECT_EQ(90, t.mindiff);
  EXPECT_EQ("20240102030405.250+0130", t.get());
  ASSERT_TRUE(t.set("20240102030405.289-0030"));
  EXPECT_EQ(289, t.millisec);
  EXPECT_EQ("20240102030405.289-0030", t.get());
  ASSERT_TRUE(t.set("19991231235959Z"));
  EXPECT_TRUE(t.utc);
  EXPECT_EQ("19991231235959Z", t.get());
  EXPECT_FALSE(t.set("2024"));
  t.set_time_t(0);
  EXPECT_EQ(1970, t.year);
}

TEST(ObjectIdentifier, ContentsOctets) {
  const ASN1::OBJECT_IDENTIFIER oid({1, 2, 840, 113549});
  EXPECT_EQ((Bytes{0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D}), oid.contents());
  ASN1::OBJECT_IDENTIFIER back;
  const Bytes c = oid.contents();
  ASSERT_TRUE(back.setContents(c.data(), c.size()));
  EXPECT_EQ(0, back.compare(oid));
  const Bytes unfinished{0x2A, 0x86};
  EXPECT_FALSE(back.setContents(unfinished.data(), unfinished.size()));
}

} // namespace

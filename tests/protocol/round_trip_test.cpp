// Random values of every LGCP and MON type survive encoding and decoding in
// both PER variants unchanged, and encode again to the same octets.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/protocol/random_value.h"
#include "tests/protocol/value_access.h"

namespace protocol_test {
namespace {

constexpr unsigned valuesPerType = 40;

void roundTrip(const protocol::TypeEntry& type, bool aligned) {
  const ASN1::CoderEnv env(aligned ? ASN1::CoderEnv::per_Aligned : ASN1::CoderEnv::per_Unaligned);
  for (unsigned seed = 1; seed <= valuesPerType; ++seed) {
    SCOPED_TRACE(std::string(type.module) + "." + std::string(type.name) + " seed " + std::to_string(seed) +
                 (aligned ? " aligned" : " unaligned"));
    std::unique_ptr<ASN1::AbstractData> value(type.info->create(type.info));
    ASSERT_TRUE(RandomFiller(seed).fill(*value));
    std::vector<std::uint8_t> wire;
    ASSERT_TRUE(env.encode(*value, std::back_inserter(wire))) << value->asValueNotation();
    std::unique_ptr<ASN1::AbstractData> back(type.info->create(type.info));
    ASSERT_TRUE(env.decode(wire.begin(), wire.end(), *back)) << value->asValueNotation();
    ASSERT_EQ(back->compare(*value), 0) << value->asValueNotation() << "\ncame back as\n" << back->asValueNotation();
    EXPECT_EQ(back->asValueNotation(), value->asValueNotation());
    std::vector<std::uint8_t> again;
    ASSERT_TRUE(env.encode(*back, std::back_inserter(again)));
    EXPECT_EQ(again, wire);
    // A truncated message must never be read past its end (the sanitizer
    // build watches); whether a prefix still decodes depends on the padding
    // it keeps, so only its safety is checked here.
    if (!wire.empty()) {
      std::unique_ptr<ASN1::AbstractData> cut(type.info->create(type.info));
      const std::vector<std::uint8_t> prefix(wire.begin(), wire.begin() + std::ptrdiff_t(seed % wire.size()));
      env.decode(prefix.begin(), prefix.end(), *cut);
    }
  }
}

class ModuleRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(ModuleRoundTrip, RandomValuesOfEveryType) {
  unsigned types = 0;
  for (const auto& type : protocol::allTypes()) {
    if (type.module != GetParam()) continue;
    ++types;
    roundTrip(type, true);
    roundTrip(type, false);
  }
  EXPECT_GT(types, 0u) << "no types registered for " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Carried, ModuleRoundTrip, ::testing::Values("LGCP", "MON", "TERM", "ORVAGW", "ACP"),
                         [](const auto& info) { return std::string(info.param); });

// The filler must reach the corners the round trips are meant to cover.
TEST(RandomFiller, ReachesOptionalsExtensionsAndEveryAlternative) {
  const auto* command = protocol::findType("LGCP.Command");
  ASSERT_TRUE(command);
  const unsigned alternatives = static_cast<const ASN1::ChoiceInfo*>(command->info)->totalCount;
  std::vector<bool> chosen(alternatives);
  bool seqWith = false, seqWithout = false;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    std::unique_ptr<ASN1::AbstractData> msg(make("LGCP.Message"));
    ASSERT_TRUE(RandomFiller(seed).fill(*msg));
    auto& seq = as<ASN1::SEQUENCE>(*msg);
    (seq.hasOptionalField(0) ? seqWith : seqWithout) = true;
    std::unique_ptr<ASN1::AbstractData> cmd(command->info->create(command->info));
    ASSERT_TRUE(RandomFiller(seed).fill(*cmd));
    chosen[unsigned(as<ASN1::CHOICE>(*cmd).selection())] = true;
  }
  EXPECT_TRUE(seqWith && seqWithout);
  for (unsigned i = 0; i < alternatives; ++i) EXPECT_TRUE(chosen[i]) << "alternative " << i << " never chosen";

  bool additionSeen = false;
  for (unsigned seed = 1; seed <= 200 && !additionSeen; ++seed) {
    std::unique_ptr<ASN1::AbstractData> code(make("LGCP.TonecCode"));
    ASSERT_TRUE(RandomFiller(seed).fill(*code));
    additionSeen = as<ASN1::CHOICE>(*code).selection() == 6;
  }
  EXPECT_TRUE(additionSeen) << "the extension alternative dtmfDone is never chosen";
}

} // namespace
} // namespace protocol_test

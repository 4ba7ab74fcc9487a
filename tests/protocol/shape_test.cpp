// Every carried type exists with the shape its module's table gives:
// component and alternative names, order, optionality, constraints and
// component types, extension markers and additions, enumeration values.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

#include "protocol/registry.h"
#include "tests/protocol/module_tables.h"

namespace protocol_test {
namespace {

struct ModuleTable {
  const char* module;
  std::span<const TableRow> rows;
};

std::ostream& operator<<(std::ostream& os, const ModuleTable& t) { return os << t.module; }

class ModuleShape : public ::testing::TestWithParam<ModuleTable> {};

TEST_P(ModuleShape, EveryTypeHasTheShapeOfItsTable) {
  const auto& table = GetParam();
  for (const auto& row : table.rows) {
    const auto problems = checkRow(table.module, row);
    EXPECT_THAT(problems, ::testing::IsEmpty()) << ::testing::PrintToString(problems);
  }
}

TEST_P(ModuleShape, ModuleHoldsExactlyTheTabledTypes) {
  const auto& table = GetParam();
  std::set<std::string> tabled, built;
  for (const auto& row : table.rows) tabled.insert(row.name);
  for (const auto& entry : protocol::allTypes())
    if (entry.module == table.module) built.insert(std::string(entry.name));
  EXPECT_EQ(built, tabled);
}

INSTANTIATE_TEST_SUITE_P(Carried, ModuleShape,
                         ::testing::Values(ModuleTable{"LGCP", lgcpTable}, ModuleTable{"TERM", termTable},
                                           ModuleTable{"BASE", baseTable}, ModuleTable{"ACP", acpTable},
                                           ModuleTable{"HSP", hspTable}, ModuleTable{"ORVAGW", orvagwTable},
                                           ModuleTable{"MON", monTable}),
                         [](const auto& info) { return std::string(info.param.module); });

// The checker itself must notice a wrong table, or the checks above prove nothing.
TEST(ShapeChecker, ReportsEveryKindOfDifference) {
  const TableRow wrong[] = {
      {"Message", "SEQUENCE", "`seq` INTEGER; `slot` INTEGER (0..1023) (opt); `pdu` `PDU`"},   // seq is optional
      {"Message", "SEQUENCE", "`seq` INTEGER (opt); `slot` INTEGER (0..1024) (opt); `pdu` `PDU`"},
      {"Message", "SEQUENCE", "`seq` INTEGER (opt); `slot` INTEGER (0..1023) (opt); `pdu` `Command`"},
      {"Message", "SEQUENCE", "`seq` INTEGER (opt); `slot` INTEGER (0..1023) (opt); `pdu` `PDU`; …"},
      {"Message", "SEQUENCE", "`sequence` INTEGER (opt); `slot` INTEGER (0..1023) (opt); `pdu` `PDU`"},
      {"Response", "CHOICE", "0 `success` NULL; 1 `error` `ErrorCause`; …"},
      {"Response", "CHOICE", "0 `success` BOOLEAN; 1 `error` `ErrorCause`"},
      {"TrunkMode", "ENUMERATED", "`slave` 0, `master` 2"},
      {"TrunkMode", "ENUMERATED", "`master` 0, `slave` 1"},
      {"Stream", "SEQUENCE", "`inactive` NULL"},
      {"NoSuchType", "SEQUENCE", "`x` NULL"},
  };
  for (const auto& row : wrong) EXPECT_THAT(checkRow("LGCP", row), ::testing::Not(::testing::IsEmpty())) << row.components;
  const TableRow right{"Message", "SEQUENCE", "`seq` INTEGER (opt); `slot` INTEGER (0..1023) (opt); `pdu` `PDU`"};
  EXPECT_THAT(checkRow("LGCP", right), ::testing::IsEmpty());
}

} // namespace
} // namespace protocol_test

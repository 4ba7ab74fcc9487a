// Log-line helpers: headers, hexadecimal output, tables and profile points.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "core/ext.h"
#include "core/multiplexer.h"
#include "core/profile.h"

namespace {

struct Logger {
  int id;
  void PutHeader(std::ostream& out) const { out << "logger[" << id << "]: "; }
};

TEST(Ext, HeaderCallsPutHeader) {
  Logger logger{7};
  std::ostringstream out;
  out << ext::header(&logger) << "started";
  EXPECT_EQ(out.str(), "logger[7]: started");
}

TEST(Ext, BufInHexWritesTwoUpperDigitsAndABlankPerByte) {
  const unsigned char bytes[] = {3, 0, 255, 0xab};
  std::ostringstream out;
  out << std::oct << std::setfill('*');
  out.width(9);
  out << ext::OutBufInHex(bytes, sizeof bytes);
  EXPECT_EQ(out.str(), "03 00 FF AB ");
  EXPECT_EQ(out.flags() & std::ios::basefield, std::ios::oct);
  EXPECT_EQ(out.fill(), '*');
  EXPECT_EQ(out.width(), 9);
  std::ostringstream empty;
  empty << ext::OutBufInHex(bytes, 0);
  EXPECT_EQ(empty.str(), "");
}

TEST(Ext, UnsignedInHexIsZeroPaddedUpperCase) {
  struct Case {
    unsigned long value;
    int width;
    const char* text;
  } cases[] = {{0xab, 4, "0x00AB"}, {0, 2, "0x00"}, {0xdeadbeef, 4, "0xDEADBEEF"}, {10, 0, "0xA"}};
  for (const Case& c : cases) {
    std::ostringstream out;
    out << std::setfill('.') << ext::OutUnsignedInHex(c.value, c.width) << ' ' << 12;
    EXPECT_EQ(out.str(), std::string(c.text) + " 12") << c.text;
    EXPECT_EQ(out.fill(), '.');
  }
}

TEST(ExtTable, CellsAreCentredAndCut) {
  std::ostringstream out;
  ext::Table table(out, 5, 3);
  table.cell("ab");
  table.cell("abcdef");
  EXPECT_EQ(out.str(), "| ab  |abc|\n");
}

TEST(ExtTable, DelimiterCompletesTheRowWithBlankCells) {
  std::ostringstream out;
  ext::Table table(out, 5, 3);
  table.add(2);
  table.delimeter();
  table.cell("abc");
  table.delimeter();
  EXPECT_EQ(out.str(),
            "+-----+---+--+\n"
            "| abc |   |  |\n"
            "+-----+---+--+\n");
}

TEST(ExtTable, SentryCollectsCellsWithStreamInsertions) {
  std::ostringstream out;
  ext::Table table(out, 6, 6, 6);
  {
    ext::Table::Sentry s(table);
    s << ext::delimeter;
    s << "n=" << 12 << ext::nextrow << -5 << ext::nextrow << std::hex << 255 << ext::beginrow;
    s << ext::nextrow << "x";
  }  // the sentry ends its pending cell
  EXPECT_EQ(out.str(),
            "+------+------+------+\n"
            "| n=12 |  -5  |  ff  |\n"
            "|      |  x   ");
}

TEST(ExtTable, ConstructorsTakeUpToSevenWidths) {
  std::ostringstream out;
  ext::Table table(out, 1, 1, 1, 1, 1, 1, 1);
  table.delimeter();
  EXPECT_EQ(out.str(), "+-+-+-+-+-+-+-+\n");
  std::ostringstream none;
  ext::Table empty(none);
  empty.cell("ignored");
  empty.add(3).cell("a");
  EXPECT_EQ(none.str(), "| a |\n");
}

TEST(Profile, PointsListNewestFirstAndUnlinkThemselves) {
  auto names = [] {
    std::vector<std::string> n;
    for (Profile::Point* p = Profile::Point::mRoot; p; p = p->next()) n.push_back(p->name());
    return n;
  };
  auto before = names();
  {
    Profile::Point a("a");
    {
      Profile::Point b("b");
      Profile::Point c("c");
      auto now = names();
      ASSERT_GE(now.size(), 3u);
      EXPECT_EQ(std::vector<std::string>(now.begin(), now.begin() + 3), (std::vector<std::string>{"c", "b", "a"}));
    }
    EXPECT_EQ(names().front(), "a");
    Profile::Point d("d");
    {
      auto* middle = new Profile::Point("m");
      Profile::Point e("e");
      delete middle;
      auto now = names();
      EXPECT_EQ(std::vector<std::string>(now.begin(), now.begin() + 3), (std::vector<std::string>{"e", "d", "a"}));
    }
  }
  EXPECT_EQ(names(), before);
}

TEST(Profile, PutAndDumpWriteOneLinePerPoint) {
  Profile::Point first("Tpkt_protocol::message");
  Profile::Point second("Control::Service::Send [1]");
  second.begin();
  second.end();
  std::ostringstream one;
  second.put(one);
  EXPECT_THAT(one.str(), ::testing::MatchesRegex(
                             R"(\[Control::Service::Send \[1\]\]: min=[0-9]+ max=[0-9]+ avg=[0-9]+ counter=1)"));
  std::ostringstream all;
  Profile::dump(all);
  EXPECT_THAT(all.str(), ::testing::StartsWith("[Control::Service::Send [1]]: min="));
  EXPECT_THAT(all.str(), ::testing::HasSubstr("\n[Tpkt_protocol::message]: min=0 max=0 avg=0 counter=0\n"));
}

TEST(Profile, StatusDumpShowsThePoints) {
  Profile::Point point("ext_test point");
  std::ostringstream dump;
  multiplexer.dump(dump);
  EXPECT_THAT(dump.str(), ::testing::HasSubstr("[ext_test point]: min=0 max=0 avg=0 counter=0\n"));
}

}  // namespace

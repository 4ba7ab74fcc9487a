// Hourly log files of daemon mode 1. This program moves the daemon's clock
// forward, so it runs alone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>
#include <string>

#include "core/log_file_streambuf.h"
#include "core/mux_clock.h"
#include "platform/clock.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string HourFile(const std::string& dir) {
  Mux::timeval tv;
  Mux::gettimeval(tv);
  time_t seconds = tv.tv_sec;
  struct tm local;
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y_%m_%d-%H", &local);
  return dir + "/" + stamp + ".log";
}

class LogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kvd-logfile-XXXXXX";
    dir = ::mkdtemp(tmpl);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir;
};

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

const std::string kPrefix = "[0-9]{2}:[0-9]{2}:[0-9]{5,6}: ";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (!text.empty() && text.back() != '\n') lines.push_back("<no newline>");
  return lines;
}

TEST_F(LogFile, LinesGetOnePrefixEachAndLongLinesContinue) {
  LogFileStreamBuf buffer(dir);
  ASSERT_EQ(buffer.file_name(), HourFile(dir));
  std::ostream out(&buffer);
  out << "a\nb\n" << std::flush;
  out << "a line longer than the sixteen-byte area\n" << std::flush;
  out << "half" << std::flush << " and rest\nnext\n" << std::flush;
  auto lines = Lines(Slurp(buffer.file_name()));
  EXPECT_THAT(lines, ElementsAre(MatchesRegex(kPrefix + "a"), MatchesRegex(kPrefix + "b"),
                                 MatchesRegex(kPrefix + "a line longer than the sixteen-byte area"),
                                 MatchesRegex(kPrefix + "half and rest"), MatchesRegex(kPrefix + "next")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(0, 12), lines[1].substr(0, 12)) << "one flush, one time stamp";
}

TEST_F(LogFile, AnExistingFileOfTheHourIsTruncated) {
  std::ofstream(HourFile(dir)) << "old content\n";
  LogFileStreamBuf buffer(dir);
  EXPECT_EQ(Slurp(buffer.file_name()), "");
}

TEST_F(LogFile, ANewHourOpensANewFile) {
  LogFileStreamBuf buffer(dir);
  std::ostream out(&buffer);
  out << "first hour\n" << std::flush;
  std::string first = buffer.file_name();
  platform::advance_clock(3600u * 1000u);
  out << "second hour\n" << std::flush;
  ASSERT_NE(buffer.file_name(), first);
  EXPECT_EQ(buffer.file_name(), HourFile(dir));
  EXPECT_THAT(Lines(Slurp(first)), ElementsAre(MatchesRegex(kPrefix + "first hour")));
  EXPECT_THAT(Lines(Slurp(buffer.file_name())), ElementsAre(MatchesRegex(kPrefix + "second hour")));
}

TEST_F(LogFile, AMissingDirectoryLosesTheLinesQuietly) {
  LogFileStreamBuf buffer(dir + "/absent");
  EXPECT_EQ(buffer.file_name(), "");
  std::ostream out(&buffer);
  out << "nowhere\n" << std::flush;
  EXPECT_TRUE(out.good());
}

}  // namespace

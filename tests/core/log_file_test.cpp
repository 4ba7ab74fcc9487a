// Hourly log files of daemon mode 1. This program moves the daemon's clock
// forward, so it runs alone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>
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

const std::string kPrefix = "[0-9]{2}:[0-9]{2}:[0-9]{5,6}: ";

TEST_F(LogFile, LinesGetOnePrefixEachAndLongLinesContinue) {
  LogFileStreamBuf buffer(dir);
  ASSERT_EQ(buffer.file_name(), HourFile(dir));
  std::ostream out(&buffer);
  out << "a\nb\n" << std::flush;
  out << "a line longer than the sixteen-byte area\n" << std::flush;
  out << "half" << std::flush << " and rest\nnext\n" << std::flush;
  std::string text = Slurp(buffer.file_name());
  EXPECT_TRUE(std::regex_match(text, std::regex("(" + kPrefix + ")a\n\\1b\n" + kPrefix +
                                                "a line longer than the sixteen-byte area\n" + kPrefix +
                                                "half and rest\n" + kPrefix + "next\n")))
      << text;
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
  EXPECT_TRUE(std::regex_match(Slurp(first), std::regex(kPrefix + "first hour\n")));
  EXPECT_TRUE(std::regex_match(Slurp(buffer.file_name()), std::regex(kPrefix + "second hour\n")));
}

TEST_F(LogFile, AMissingDirectoryLosesTheLinesQuietly) {
  LogFileStreamBuf buffer(dir + "/absent");
  EXPECT_EQ(buffer.file_name(), "");
  std::ostream out(&buffer);
  out << "nowhere\n" << std::flush;
  EXPECT_TRUE(out.good());
}

}  // namespace

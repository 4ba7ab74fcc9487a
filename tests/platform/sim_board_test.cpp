// The simulated board: device files as real descriptors, open files that
// survive dup(), the watchdog model and the command language.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/byte_order.h"
#include "platform/clock.h"
#include "platform/device_io.h"
#include "platform/paths.h"
#include "platform/sim/board.h"
#include "platform/sim/watchdog.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
using platform::sim::SimBoard;
using platform::sim::WatchdogModel;

namespace {

class Board : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kelvad-board-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    platform::set_root(dir_);
    ASSERT_EQ(::system(("mkdir -p " + dir_ + "/var/log").c_str()), 0);
    platform::use_simulated_board();
    watchdog = SimBoard::instance().model_as<WatchdogModel>("watchdog");
    ASSERT_NE(watchdog, nullptr);
    watchdog->clear();
    watchdog->absent = watchdog->refuse_writes = false;
  }
  void TearDown() override {
    platform::set_root("/");
    (void)!::system(("rm -rf " + dir_).c_str());
  }
  platform::DeviceIo& io() { return platform::devices(); }
  std::string dir_;
  WatchdogModel* watchdog = nullptr;
};

TEST_F(Board, UnservedDeviceFailsWithEnodev) {
  errno = 0;
  EXPECT_EQ(io().open("/dev/hal-that-is-not", O_RDWR), -1);
  EXPECT_EQ(errno, ENODEV);
}

TEST_F(Board, DescriptorIsRealCloseOnExecAndHonoursNonBlock) {
  int fd = io().open("/dev/misc/gw-wd", O_WRONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
  EXPECT_TRUE(::fcntl(fd, F_GETFL) & O_NONBLOCK);
  pollfd p{fd, POLLIN | POLLOUT, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 1);
  EXPECT_EQ(p.revents, POLLOUT) << "writable, nothing to read";
  io().close(fd);
}

TEST_F(Board, OpenFileSurvivesDupAndIsReleasedWithTheLastCopy) {
  int fd = io().open("/dev/misc/gw-wd", O_WRONLY);
  ASSERT_GE(fd, 0);
  int copy = ::dup(fd);
  EXPECT_EQ(SimBoard::instance().open_files(*watchdog).size(), 1u);
  io().close(fd);
  EXPECT_EQ(io().write(copy, "PING", 4), 4) << "the duplicate reaches the same open file";
  EXPECT_EQ(SimBoard::instance().open_files(*watchdog).size(), 1u);
  ::close(copy);  // closed behind the board's back: still noticed
  EXPECT_EQ(SimBoard::instance().open_files(*watchdog).size(), 0u);
}

TEST_F(Board, WatchdogJournalsWhatItIsSentAndRefusesGarbage) {
  int fd = io().open("/dev/misc/gw-wd", O_WRONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(io().write(fd, "START", 5), 5);
  EXPECT_EQ(io().write(fd, "PING", 4), 4);
  EXPECT_EQ(io().write(fd, "REBOOT", 6), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(io().write(fd, "STOP", 4), 4);
  io().close(fd);
  ASSERT_EQ(watchdog->journal().size(), 3u);
  EXPECT_EQ(watchdog->journal()[0].text, "START");
  EXPECT_EQ(watchdog->journal()[2].text, "STOP");
  EXPECT_THAT(SimBoard::instance().command("watchdog journal"), StartsWith("ok count=3 START@"));
  std::string file;
  char buf[256];
  int jf = ::open((dir_ + "/var/log/board-watchdog").c_str(), O_RDONLY);
  ASSERT_GE(jf, 0);
  ssize_t n = ::read(jf, buf, sizeof buf);
  ::close(jf);
  file.assign(buf, size_t(n > 0 ? n : 0));
  EXPECT_THAT(file, StartsWith("START@"));
  EXPECT_THAT(file, HasSubstr("\nSTOP@"));
}

TEST_F(Board, WatchdogFailuresCanBeInjected) {
  EXPECT_EQ(SimBoard::instance().command("watchdog absent on"), "ok");
  EXPECT_EQ(io().open("/dev/misc/gw-wd", O_WRONLY), -1);
  EXPECT_EQ(errno, ENODEV);
  EXPECT_EQ(SimBoard::instance().command("watchdog absent off"), "ok");
  EXPECT_EQ(SimBoard::instance().command("watchdog refuse on"), "ok");
  int fd = io().open("/dev/misc/gw-wd", O_WRONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(io().write(fd, "START", 5), -1);
  EXPECT_EQ(errno, EIO);
  io().close(fd);
}

TEST_F(Board, CommandsAnswerOneLine) {
  struct Case {
    const char* line;
    const char* reply_prefix;
  } cases[] = {
      {"", "error empty command"},
      {"   ", "error empty command"},
      {"frobnicate", "error unknown command \"frobnicate\""},
      {"clock advance", "error usage: clock advance"},
      {"clock advance 12x", "error usage: clock advance"},
      {"clock advance 9999999999", "error usage: clock advance"},
      {"watchdog", "error usage: watchdog"},
      {"watchdog absent maybe", "error usage: watchdog"},
      {"help", "ok commands: help; clock; clock advance MS; watchdog journal"},
  };
  for (const Case& c : cases) {
    std::string reply = SimBoard::instance().command(c.line);
    EXPECT_THAT(reply, StartsWith(c.reply_prefix)) << c.line;
    EXPECT_EQ(reply.find('\n'), std::string::npos) << c.line;
  }
}

TEST_F(Board, ClockAdvanceMovesGettimeofday) {
  int64_t before = platform::clock_advance_us();
  timeval a, b;
  platform::gettimeofday(&a);
  EXPECT_THAT(SimBoard::instance().command("clock advance 3600000"), StartsWith("ok advanced="));
  platform::gettimeofday(&b);
  EXPECT_GE(b.tv_sec - a.tv_sec, 3600);
  EXPECT_EQ(platform::clock_advance_us() - before, int64_t(3600000) * 1000);
}

TEST(Paths, ResolvePrefixesTheRoot) {
  platform::set_root("/");
  EXPECT_EQ(platform::resolve("/var/run/server.pid"), "/var/run/server.pid");
  platform::set_root("/tmp/sandbox///");
  EXPECT_EQ(platform::root(), "/tmp/sandbox");
  EXPECT_EQ(platform::resolve("/var/run/server.pid"), "/tmp/sandbox/var/run/server.pid");
  EXPECT_EQ(platform::resolve("relative"), "/tmp/sandbox/relative");
  platform::set_root("");
  EXPECT_EQ(platform::root(), "/");
}

TEST(ByteOrder, RecordsAreBigEndianOnEveryHost) {
  uint8_t buf[16] = {};
  platform::be::put32(buf, 0x11223344);
  platform::be::put16(buf + 4, 0xA1B2);
  platform::be::put64(buf + 6, 0x0102030405060708ull);
  const uint8_t expected[] = {0x11, 0x22, 0x33, 0x44, 0xA1, 0xB2, 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 14), std::vector<uint8_t>(expected, expected + 14));
  EXPECT_EQ(platform::be::get32(buf), 0x11223344u);
  EXPECT_EQ(platform::be::get16(buf + 4), 0xA1B2u);
  EXPECT_EQ(platform::be::get64(buf + 6), 0x0102030405060708ull);
  platform::be::put32(buf, 0xFFFFFFFE);
  EXPECT_EQ(platform::be::get32s(buf), -2);
}

TEST(IoctlNumbers, SizeComesFromBits28To16) {
  EXPECT_EQ(platform::ioctl_size(0xC0445200), 68u);  // 68-byte record
  EXPECT_EQ(platform::ioctl_size(0x80084D02), 8u);
  EXPECT_EQ(platform::ioctl_size(0x2000520A), 0u);
}

}  // namespace

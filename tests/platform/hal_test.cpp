// The simulated "/dev/hal" TDM switch: what each destination carries, how a
// read follows connections, the channel ranges, the request counts, failure
// injection and the board commands that expose them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>

#include "platform/byte_order.h"
#include "platform/device_io.h"
#include "platform/paths.h"
#include "platform/sim/board.h"
#include "platform/sim/hal.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
using platform::sim::HalModel;
using platform::sim::SimBoard;
using Kind = HalModel::Kind;
using Route = HalModel::Route;

namespace {

class Hal : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kelvad-hal-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    platform::set_root(dir_);
    platform::use_simulated_board();
    hal = SimBoard::instance().model_as<HalModel>("hal");
    ASSERT_NE(hal, nullptr);
    hal->reset();
    fd = io().open("/dev/hal", O_RDWR);
    ASSERT_GE(fd, 0);
  }
  void TearDown() override {
    if (fd >= 0) io().close(fd);
    platform::set_root("/");
    (void)!::system(("rm -rf " + dir_).c_str());
  }
  platform::DeviceIo& io() { return platform::devices(); }

  int request(uint32_t number, int first, int second = 0) {
    std::array<uint8_t, 8> arg{};
    platform::be::put32(arg.data(), uint32_t(first));
    platform::be::put32(arg.data() + 4, uint32_t(second));
    return io().ioctl(fd, number, arg.data());
  }
  int connect(int dst, int src) { return request(HalModel::kMuxConnect, dst, src); }
  int disable(int dst) { return request(HalModel::kMuxDisable, dst); }
  int write(int dst, int byte) { return request(HalModel::kMuxWrite, dst, byte); }
  // The byte MUX_READ answers, or -1 when the request fails.
  int read(int channel) {
    std::array<uint8_t, 8> arg{};
    platform::be::put32(arg.data(), uint32_t(channel));
    platform::be::put32(arg.data() + 4, 255);
    if (io().ioctl(fd, HalModel::kMuxRead, arg.data()) < 0) return -1;
    EXPECT_EQ(platform::be::get32s(arg.data()), channel) << "the channel word is left alone";
    EXPECT_EQ(platform::be::get32(arg.data() + 4) >> 8, 0u) << "the byte comes back in the low 8 bits";
    return int(platform::be::get32(arg.data() + 4) & 0xFF);
  }
  std::string board(const std::string& line) { return SimBoard::instance().command(line); }

  std::string dir_;
  HalModel* hal = nullptr;
  int fd = -1;
};

TEST_F(Hal, ReadFollowsConnectionsToAConstantAndDisabledChannelsCarryNothing) {
  EXPECT_EQ(read(8192), HalModel::kNothingByte) << "never set";
  ASSERT_EQ(write(8192, 0x55), 0);
  ASSERT_EQ(connect(8193, 8192), 0);
  ASSERT_EQ(connect(5, 8193), 0);
  EXPECT_EQ(read(5), 0x55);
  EXPECT_EQ(read(8193), 0x55);
  EXPECT_EQ(hal->route(5), (Route{Route::What::source, 8193}));

  ASSERT_EQ(write(8192, 0xD5), 0);
  EXPECT_EQ(read(5), 0xD5) << "a chain carries what its source carries now";

  ASSERT_EQ(disable(8192), 0);
  EXPECT_EQ(hal->route(8192), Route{});
  EXPECT_EQ(read(5), HalModel::kNothingByte) << "the source of the chain carries nothing";

  ASSERT_EQ(connect(8192, 5), 0);  // closes a loop 5 <- 8193 <- 8192 <- 5
  EXPECT_EQ(read(5), HalModel::kNothingByte);
  EXPECT_EQ(read(8192), HalModel::kNothingByte);

  ASSERT_EQ(write(5, 0x00), 0);
  EXPECT_EQ(read(8192), 0x00) << "a connect or write replaces what the destination carried";
}

TEST_F(Hal, ChannelsOutsideTheSwitchFailWithEinvalAndChangeNothing) {
  struct Case {
    const char* what;
    uint32_t number;
    int first, second;
  } bad[] = {
      {"destination between trunks and resources", HalModel::kMuxConnect, 128, 1},
      {"source between trunks and resources", HalModel::kMuxConnect, 1, 1023},
      {"source past the resources", HalModel::kMuxConnect, 1, 4096},
      {"negative source", HalModel::kMuxConnect, 1, -1},
      {"destination past the shared channels", HalModel::kMuxConnect, 10240, 1},
      {"destination just below the shared channels", HalModel::kMuxWrite, 8191, 1},
      {"byte above 255", HalModel::kMuxWrite, 8192, 256},
      {"negative byte", HalModel::kMuxWrite, 8192, -1},
      {"negative destination", HalModel::kMuxDisable, -5, 0},
      {"read past the shared channels", HalModel::kMuxRead, 10240, 255},
  };
  for (auto& c : bad) {
    errno = 0;
    EXPECT_EQ(request(c.number, c.first, c.second), -1) << c.what;
    EXPECT_EQ(errno, EINVAL) << c.what;
  }
  EXPECT_TRUE(hal->table().empty());
  EXPECT_EQ(hal->disables_of(-5), 0u);

  // The edges of every range are channels of the switch.
  for (int edge : {0, 127, 1024, 4095, 8192, 10239}) {
    EXPECT_EQ(connect(edge, 127), 0) << edge;
    EXPECT_EQ(write(edge, 1), 0) << edge;
  }
}

TEST_F(Hal, CountsEveryRequestByKindAndFailsChosenOnesOnDemand) {
  hal->fail(Kind::connect, 2);
  errno = 0;
  EXPECT_EQ(connect(8200, 3), -1);
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(connect(8200, 3), -1);
  EXPECT_EQ(hal->route(8200), Route{}) << "a failed connect changes nothing";
  EXPECT_EQ(connect(8200, 3), 0) << "only the chosen number of requests fail";
  EXPECT_EQ(disable(8201), 0);
  EXPECT_EQ(disable(8201), 0);
  EXPECT_EQ(write(8202, 9), 0);
  EXPECT_EQ(read(8202), 9);

  EXPECT_EQ(hal->count(Kind::open), 1u);
  EXPECT_EQ(hal->count(Kind::connect), 3u) << "failed requests are counted as received";
  EXPECT_EQ(hal->count(Kind::disable), 2u);
  EXPECT_EQ(hal->count(Kind::write), 1u);
  EXPECT_EQ(hal->count(Kind::read), 1u);
  EXPECT_EQ(hal->disables_of(8201), 2u);
  EXPECT_EQ(hal->disables_of(8200), 0u);

  hal->fail(Kind::open, 1);
  errno = 0;
  EXPECT_EQ(io().open("/dev/hal", O_RDWR), -1);
  EXPECT_EQ(errno, ENODEV);
  int again = io().open("/dev/hal", O_RDWR);
  EXPECT_GE(again, 0);
  io().close(again);
  EXPECT_EQ(hal->count(Kind::open), 3u);

  errno = 0;
  EXPECT_EQ(io().ioctl(fd, 0x80044301u, uintptr_t(0)), -1) << "not a switch request";
  EXPECT_EQ(errno, ENOTTY);
  EXPECT_EQ(io().ioctl(fd, HalModel::kMuxConnect, uintptr_t(0)), -1);
  EXPECT_EQ(errno, EFAULT);

  hal->reset_counts();
  EXPECT_EQ(hal->count(Kind::connect), 0u);
  EXPECT_EQ(hal->disables_of(8201), 0u);
  EXPECT_EQ(hal->route(8200), (Route{Route::What::source, 3})) << "counts go, the table stays";
}

TEST_F(Hal, BoardCommandsShowTheTableChannelsAndCounts) {
  ASSERT_EQ(connect(8200, 3), 0);
  ASSERT_EQ(write(8300, 0xD5), 0);
  ASSERT_EQ(connect(5, 8300), 0);
  ASSERT_EQ(disable(8201), 0);

  EXPECT_EQ(board("hal table"), "ok count=3 5<-8300 8200<-3 8300=0xD5");
  EXPECT_EQ(board("hal table 8192"), "ok count=2 8200<-3 8300=0xD5");
  EXPECT_EQ(board("hal table 8192 100"), "ok count=1 8200<-3");
  EXPECT_EQ(board("hal table 6 8186"), "ok count=0");
  EXPECT_EQ(board("hal channel 5"), "ok channel=5 route=source:8300 reads=0xD5 disables=0");
  EXPECT_EQ(board("hal channel 8300"), "ok channel=8300 route=constant:0xD5 reads=0xD5 disables=0");
  EXPECT_EQ(board("hal channel 8201"), "ok channel=8201 route=nothing reads=0xFF disables=1");
  EXPECT_EQ(board("hal counts"), "ok open=1 connect=2 disable=1 write=1 read=0 other=0 failed=0");

  EXPECT_EQ(board("hal fail write"), "ok");
  EXPECT_EQ(write(8300, 1), -1);
  EXPECT_EQ(write(8300, 1), 0) << "COUNT defaults to one";
  EXPECT_EQ(board("hal fail read 3"), "ok");
  EXPECT_EQ(board("hal fail read 0"), "ok") << "0 stops the failures";
  EXPECT_EQ(read(8300), 1);
  EXPECT_THAT(board("hal counts"), HasSubstr(" failed=1"));
  EXPECT_EQ(board("hal reset-counts"), "ok");
  EXPECT_EQ(board("hal counts"), "ok open=0 connect=0 disable=0 write=0 read=0 other=0 failed=0");

  for (const char* bad : {"hal channel 200", "hal channel -1", "hal channel x", "hal table x",
                          "hal fail other", "hal fail connect many", "hal", "hal frobnicate"})
    EXPECT_THAT(board(bad), StartsWith("error ")) << bad;
  EXPECT_THAT(board("help"), HasSubstr("; hal table [FROM [COUNT]]"));

  EXPECT_EQ(board("hal reset"), "ok");
  EXPECT_EQ(board("hal table"), "ok count=0");
}

}  // namespace

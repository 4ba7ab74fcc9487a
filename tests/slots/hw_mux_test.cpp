// The TDM switch access against the simulated board's switch: opening and
// its retry, the guards, the shadow table, the log lines and the refresh the
// loop drives.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "core/multiplexer.h"
#include "platform/byte_order.h"
#include "platform/device_io.h"
#include "platform/paths.h"
#include "platform/sim/board.h"
#include "platform/sim/hal.h"
#include "slots/hw_mux.h"
#include "slots/tdm_channel.h"
#include "tests/core/loop_fixture.h"

using ::testing::HasSubstr;
using ::testing::Not;
using platform::sim::HalModel;
using platform::sim::SimBoard;
using Kind = HalModel::Kind;
using Route = HalModel::Route;

namespace {

constexpr int kShared = Tdm::kSharedFirst;

class Switch : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kelvad-hwmux-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    platform::set_root(dir_);
    platform::use_simulated_board();
    hal = SimBoard::instance().model_as<HalModel>("hal");
    ASSERT_NE(hal, nullptr);
    hal->reset();
    log = std::make_unique<StreamCapture>(std::clog);
  }
  void TearDown() override {
    mux.reset();
    log.reset();
    platform::set_root("/");
    (void)!::system(("rm -rf " + dir_).c_str());
  }
  HwMux& open() {
    mux = std::make_unique<HwMux>();
    return *mux;
  }
  // Requests of the switch's own kinds, the open excluded.
  uint64_t requests() const {
    return hal->count(Kind::connect) + hal->count(Kind::disable) + hal->count(Kind::write) +
           hal->count(Kind::read);
  }

  std::string dir_;
  HalModel* hal = nullptr;
  std::unique_ptr<StreamCapture> log;
  std::unique_ptr<HwMux> mux;
};

TEST_F(Switch, OpeningDisablesEverySharedChannelOnceAndStartsTheRefresh) {
  size_t dpcs = multiplexer.dpc_count();
  HwMux& m = open();
  EXPECT_EQ(log->text(), "hwMux: init\nhwMux: device opened\n");
  EXPECT_EQ(hal->count(Kind::open), 1u);
  EXPECT_EQ(hal->count(Kind::disable), 2048u);
  for (int i = 0; i < Tdm::kSharedCount; ++i) {
    ASSERT_EQ(hal->disables_of(kShared + i), 1u) << i;
    ASSERT_EQ(m.shadow(i), HwMux::kShadowDisabled) << i;
  }
  EXPECT_EQ(hal->disables_of(kShared - 1), 0u);
  EXPECT_TRUE(m.refreshing());
  EXPECT_EQ(multiplexer.dpc_count(), dpcs + 1);
  EXPECT_EQ(m.refresh_cursor(), 0u);

  EXPECT_TRUE(m.IsOpened());
  EXPECT_TRUE(m.Connect(1, 2));
  EXPECT_EQ(hal->count(Kind::open), 1u) << "an open device is not opened again";
  EXPECT_EQ(hal->count(Kind::disable), 2048u);

  mux.reset();
  EXPECT_EQ(multiplexer.dpc_count(), dpcs) << "the refresh goes with the switch";
  EXPECT_TRUE(SimBoard::instance().open_files(*hal).empty()) << "the device is closed";
}

TEST_F(Switch, AFailingOpenIsRetriedAtTheNextOperationAndDisablesOnlyOnSuccess) {
  hal->fail(Kind::open, 2);
  size_t dpcs = multiplexer.dpc_count();
  HwMux& m = open();
  EXPECT_EQ(log->text(), "hwMux: init\nhwMux: can't open device: No such device\n");
  EXPECT_FALSE(m.refreshing());
  EXPECT_EQ(multiplexer.dpc_count(), dpcs);

  EXPECT_FALSE(m.Connect(1, 2));
  EXPECT_THAT(log->text(), HasSubstr("can't open device: No such device\nhwMux: ERROR not opened\n"));
  EXPECT_EQ(hal->count(Kind::open), 2u);
  EXPECT_EQ(requests(), 0u) << "no request before the device is open";

  EXPECT_TRUE(m.Disable(kShared + 8));
  EXPECT_EQ(hal->count(Kind::open), 3u);
  EXPECT_EQ(hal->count(Kind::disable), 2048u + 1u);
  EXPECT_EQ(hal->disables_of(kShared + 8), 2u);
  EXPECT_EQ(hal->disables_of(kShared + 9), 1u);
  EXPECT_TRUE(m.refreshing());
  EXPECT_THAT(log->text(), HasSubstr("ERROR not opened\nhwMux: device opened\n"));

  EXPECT_TRUE(m.Connect(1, 2));
  EXPECT_EQ(hal->count(Kind::open), 3u);
  EXPECT_EQ(hal->count(Kind::disable), 2049u) << "the initial disables come once";
}

TEST_F(Switch, NegativeChannelsAreRefusedWithoutARequestEvenWhenOpen) {
  HwMux& m = open();
  hal->reset_counts();
  std::string before = log->text();

  EXPECT_FALSE(m.Connect(-1, kShared));
  EXPECT_EQ(log->text(), before + "hwMux: ERROR not opened\n");
  EXPECT_FALSE(m.Connect(5, -3));
  EXPECT_EQ(log->text(), before + "hwMux: ERROR not opened\nhwMux: ERROR not opened\n");

  before = log->text();
  EXPECT_FALSE(m.Disconnect(-1));
  EXPECT_FALSE(m.Disable(-1));
  EXPECT_FALSE(m.Write(-1, 0x12));
  EXPECT_EQ(m.Read(-1), 255);
  EXPECT_EQ(log->text(), before) << "the others refuse quietly";
  EXPECT_EQ(requests(), 0u);
  EXPECT_EQ(hal->count(Kind::open), 0u);
}

TEST_F(Switch, EachOperationSetsTheSwitchAndTheSharedShadow) {
  HwMux& m = open();
  const int ch = kShared + 8;

  EXPECT_TRUE(m.Connect(5, ch));
  EXPECT_EQ(m.shadow(8), 5);
  EXPECT_EQ(hal->route(ch), (Route{Route::What::source, 5}));

  EXPECT_TRUE(m.Disconnect(ch));
  EXPECT_EQ(m.shadow(8), HwMux::kShadowConstant);
  EXPECT_EQ(hal->route(ch), (Route{Route::What::constant, 0xD5})) << "idle, not nothing";
  EXPECT_EQ(m.Read(ch), 0xD5);

  EXPECT_TRUE(m.Write(ch, 0x3C));
  EXPECT_EQ(m.shadow(8), HwMux::kShadowConstant);
  EXPECT_EQ(m.Read(ch), 0x3C);

  EXPECT_TRUE(m.Connect(ch, 7));
  EXPECT_EQ(m.Read(7), 0x3C) << "a read follows the connection";

  EXPECT_TRUE(m.Disable(ch));
  EXPECT_EQ(m.shadow(8), HwMux::kShadowDisabled);
  EXPECT_EQ(hal->route(ch), Route{});
  EXPECT_EQ(m.Read(ch), HalModel::kNothingByte);

  // Channels below the shared range are switched but not shadowed.
  EXPECT_TRUE(m.Connect(kShared + 1, 3));
  EXPECT_TRUE(m.Disconnect(4));
  for (int i = 0; i < Tdm::kSharedCount; ++i) ASSERT_EQ(m.shadow(i), HwMux::kShadowDisabled) << i;
}

TEST_F(Switch, FailedRequestsAreLoggedAndStillLeaveTheShadowAsAsked) {
  HwMux& m = open();
  struct Case {
    Kind fails;
    std::function<bool()> call;
    int index;
    int16_t shadow;
    std::string line;
  } cases[] = {
      {Kind::connect, [&] { return m.Connect(3, kShared + 10); }, 10, 3,
       "hwMux: connect 3 -> 8202 failed: Input/output error\n"},
      {Kind::write, [&] { return m.Disconnect(kShared + 11); }, 11, HwMux::kShadowConstant,
       "hwMux: disconnect failed 8203 : Input/output error\n"},
      {Kind::write, [&] { return m.Write(kShared + 12, 0xAB); }, 12, HwMux::kShadowConstant,
       "hwMux: write failed 8204 <- 0xAB : Input/output error\n"},
      {Kind::write, [&] { return m.Write(kShared + 13, 0x05); }, 13, HwMux::kShadowConstant,
       "hwMux: write failed 8205 <- 0x05 : Input/output error\n"},
  };
  for (auto& c : cases) {
    ASSERT_TRUE(m.Connect(1, kShared + c.index));
    hal->fail(c.fails, 1);
    std::string before = log->text();
    EXPECT_FALSE(c.call()) << c.line;
    EXPECT_EQ(log->text(), before + c.line);
    EXPECT_EQ(m.shadow(c.index), c.shadow) << c.line;
  }

  ASSERT_TRUE(m.Write(kShared + 14, 0x77));
  hal->fail(Kind::disable, 1);
  std::string before = log->text();
  EXPECT_FALSE(m.Disable(kShared + 14));
  EXPECT_EQ(log->text(), before + "hwMux: disable failed 8206 : Input/output error\n");
  EXPECT_EQ(m.shadow(14), HwMux::kShadowDisabled);

  hal->fail(Kind::read, 1);
  before = log->text();
  EXPECT_EQ(m.Read(kShared + 14), 255);
  EXPECT_EQ(log->text(), before + "hwMux: read failed 8206 -> 0xFF : Input/output error\n");
}

TEST_F(Switch, ChannelsBeyondTheSharedRangeAreNotShadowed) {
  HwMux& m = open();
  std::string before = log->text();
  EXPECT_FALSE(m.Connect(5, kShared + Tdm::kSharedCount));
  EXPECT_EQ(log->text(), before + "hwMux: connect 5 -> 10240 failed: Invalid argument\n");
  EXPECT_FALSE(m.Disconnect(20000));
  EXPECT_FALSE(m.Write(kShared + 4096, 1));
  EXPECT_FALSE(m.Disable(kShared + Tdm::kSharedCount));
  for (int i = 0; i < Tdm::kSharedCount; ++i) ASSERT_EQ(m.shadow(i), HwMux::kShadowDisabled) << i;
}

TEST_F(Switch, TheRefreshReDisablesEveryDisabledSharedChannelEverySixteenPasses) {
  TestPipe wake("Switch::wake");  // keeps poll() from waiting
  wake.Watch();
  wake.MakeReadable();

  HwMux& m = open();
  ASSERT_TRUE(m.Connect(1, kShared + 10));
  ASSERT_TRUE(m.Disconnect(kShared + 20));
  ASSERT_TRUE(m.Write(kShared + 30, 7));

  // Another agent writes to a channel the shadow holds disabled.
  int other = platform::devices().open("/dev/hal", O_RDWR);
  ASSERT_GE(other, 0);
  std::array<uint8_t, 8> arg{};
  platform::be::put32(arg.data(), kShared + 40);
  platform::be::put32(arg.data() + 4, 0x99);
  ASSERT_EQ(platform::devices().ioctl(other, HalModel::kMuxWrite, arg.data()), 0);
  platform::devices().close(other);
  hal->reset_counts();

  for (int round = 1; round <= 2; ++round) {
    for (int pass = 0; pass < 16; ++pass) {
      uint64_t before = hal->count(Kind::disable);
      multiplexer.pass();
      ASSERT_LE(hal->count(Kind::disable) - before, uint64_t(HwMux::kRefreshPerPass)) << "pass " << pass;
    }
    for (int i = 0; i < Tdm::kSharedCount; ++i) {
      uint64_t expected = (i == 10 || i == 20 || i == 30) ? 0u : uint64_t(round);
      ASSERT_EQ(hal->disables_of(kShared + i), expected) << "channel " << kShared + i << " round " << round;
    }
    EXPECT_EQ(hal->count(Kind::disable), uint64_t(round) * (2048u - 3u));
    EXPECT_EQ(hal->route(kShared + 40), Route{}) << "the hardware follows the shadow again";
  }
  EXPECT_EQ(hal->route(kShared + 10), (Route{Route::What::source, 1}));
  EXPECT_EQ(hal->route(kShared + 20), (Route{Route::What::constant, 0xD5}));

  // Disabling the disconnected channel puts it back under the refresh.
  ASSERT_TRUE(m.Disable(kShared + 20));
  hal->reset_counts();
  for (int pass = 0; pass < 16; ++pass) multiplexer.pass();
  EXPECT_EQ(hal->disables_of(kShared + 20), 1u);
  EXPECT_EQ(hal->disables_of(kShared + 10), 0u);
  EXPECT_EQ(requests(), 2048u - 2u) << "the refresh issues nothing but disables";
}

TEST_F(Switch, ASourceBeyondSixteenBitsIsNeverTakenForDisabled) {
  TestPipe wake("Switch::wake");
  wake.Watch();
  wake.MakeReadable();
  HwMux& m = open();
  m.Connect(65535, kShared + 50);  // the board's switch refuses it; the shadow keeps the request
  EXPECT_NE(m.shadow(50), HwMux::kShadowDisabled);
  hal->reset_counts();
  for (int pass = 0; pass < 16; ++pass) multiplexer.pass();
  EXPECT_EQ(hal->disables_of(kShared + 50), 0u);
  EXPECT_EQ(hal->disables_of(kShared + 51), 1u);
}

TEST_F(Switch, DescriptorZeroCountsAsOpen) {
  // With standard input closed the device gets descriptor 0.
  int saved = ::dup(0);
  ASSERT_GE(saved, 0);
  ::close(0);
  HwMux& m = open();
  EXPECT_TRUE(m.Connect(1, kShared + 3));
  EXPECT_TRUE(m.Connect(2, kShared + 4));
  EXPECT_EQ(hal->count(Kind::open), 1u);
  EXPECT_EQ(hal->count(Kind::disable), 2048u) << "no second round of initial disables";
  EXPECT_EQ(hal->route(kShared + 3), (Route{Route::What::source, 1})) << "the connect survived";
  mux.reset();
  ASSERT_EQ(::dup2(saved, 0), 0);
  ::close(saved);
}

}  // namespace

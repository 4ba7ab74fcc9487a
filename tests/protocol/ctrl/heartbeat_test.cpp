// The controller watchdog, driven through the loop's clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "core/mux_clock.h"
#include "tests/protocol/ctrl/ctrl_fixture.h"

namespace ctrl_test {
namespace {

using ::testing::HasSubstr;

class Heartbeat : public CtrlServerTest {
 protected:
  // Real time also passes while a pass waits (at most a second each), so
  // steps that must not reach the timeout keep a wide margin.
  static constexpr uint32_t margin_ms = 10000;
  // Moves the clock and lets the due timers and what they cause run.
  void Advance(uint32_t ms) {
    platform::advance_clock(ms);
    multiplexer.pass();
    multiplexer.pass();
  }
  bool Dropped() { return RunUntil([&] { return first.disconnects > 0; }, 20); }
};

TEST_F(Heartbeat, ControllerThatNeverSendsACommandIsNotTimedOut) {
  Advance(HeartBeatCtl::timeout_ms * 3);
  EXPECT_FALSE(heartbeat.armed());
  EXPECT_EQ(first.disconnects, 0);
  EXPECT_EQ(out.text().find("heartbeat timeout!!!"), std::string::npos);
  EXPECT_EQ(Text(Ask(e2e::Ping(1))), "{ seq 1, pdu response : success : NULL }");
}

TEST_F(Heartbeat, AnyCommandRestartsTheWatchdogAndSilenceDropsTheController) {
  Ask(e2e::Ping(1));
  Advance(HeartBeatCtl::timeout_ms - margin_ms);
  // A command the heartbeat does not take restarts it too.
  Ask(e2e::Command([](LGCP::Command& c) { c.get_query(); }, 2));
  Advance(HeartBeatCtl::timeout_ms - margin_ms);
  EXPECT_EQ(first.disconnects, 0);
  EXPECT_EQ(out.text().find("heartbeat timeout!!!"), std::string::npos);

  Advance(margin_ms);
  EXPECT_THAT(out.text(), HasSubstr("heartbeat timeout!!!\n"));
  EXPECT_TRUE(Dropped());
  EXPECT_TRUE(controller.closed_by_peer());
  EXPECT_FALSE(heartbeat.armed());
}

TEST_F(Heartbeat, DisconnectionStopsTheWatchdogAndTheNextControllerStartsAfresh) {
  Ask(e2e::Ping(1));
  ASSERT_TRUE(heartbeat.armed());
  controller.close();
  ASSERT_TRUE(Dropped());
  EXPECT_FALSE(heartbeat.armed());

  ConnectController();
  Advance(HeartBeatCtl::timeout_ms * 2);
  EXPECT_EQ(out.text().find("heartbeat timeout!!!"), std::string::npos);
  // After the reconnection commands are offered to every service again.
  Ask(e2e::Command([](LGCP::Command& c) { c.get_query(); }, 3));
  EXPECT_EQ(first.offered.size(), 1u);
  EXPECT_EQ(second.offered.size(), 1u);
  EXPECT_TRUE(heartbeat.armed());
}

}  // namespace
}  // namespace ctrl_test

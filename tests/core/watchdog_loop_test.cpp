// The loop drives the watchdog and lets plugins bound its wait.

#include <gtest/gtest.h>

#include "core/multiplexer.h"
#include "core/timer_pool_plugin.h"
#include "platform/device_io.h"
#include "platform/paths.h"
#include "platform/sim/board.h"
#include "platform/sim/watchdog.h"
#include "tests/core/loop_fixture.h"

namespace {

using platform::sim::SimBoard;
using platform::sim::WatchdogModel;

struct Plugin : TimerPoolPlugin {
  int wait = -1;
  int asked = 0;
  Plugin* unhooks = nullptr;
  int timer_wait() override {
    ++asked;
    if (unhooks) unhooks->timerUnhook();
    return wait;
  }
};

TEST(WatchdogLoop, StartPingStopAndAOneSecondCapOnPoll) {
  platform::set_root("/nonexistent-root-for-journal");  // the journal file is optional
  platform::use_simulated_board();
  auto* wd = SimBoard::instance().model_as<WatchdogModel>("watchdog");
  ASSERT_NE(wd, nullptr);
  wd->clear();

  TestPipe stop("stop");
  int calls = 0;
  stop.on_event = [&](short) {
    if (++calls == 3) multiplexer.terminate();
  };
  stop.Watch();
  stop.MakeReadable();  // every pass returns at once; the third ends the run
  multiplexer.run(true, false);
  EXPECT_EQ(multiplexer.last_poll_timeout(), 1000) << "no timers: the watchdog caps the wait at one second";
  ASSERT_GE(wd->journal().size(), 3u);
  EXPECT_EQ(wd->journal().front().text, "START");
  EXPECT_EQ(wd->journal()[1].text, "PING") << "the first pass pings at once";
  EXPECT_EQ(wd->journal().back().text, "STOP");
  EXPECT_FALSE(multiplexer.watchdog_open());
  platform::set_root("/");
}

TEST(WatchdogLoop, MissingOrRefusingWatchdogIsReportedOnce) {
  platform::use_simulated_board();
  auto* wd = SimBoard::instance().model_as<WatchdogModel>("watchdog");
  TestPipe stop("stop");
  stop.on_event = [&](short) { multiplexer.terminate(); };
  stop.Watch();
  stop.MakeReadable();
  struct Case {
    bool absent, refuse;
    const char* message;
  } cases[] = {
      {true, false, "Mux: fail to open watchdog: No such device\n"},
      {false, true, "Mux: fail to activate watchdog: Input/output error\n"},
  };
  for (const Case& c : cases) {
    wd->absent = c.absent;
    wd->refuse_writes = c.refuse;
    StreamCapture err(std::cerr);
    multiplexer.run(true, true);
    EXPECT_EQ(err.text(), c.message);
    EXPECT_FALSE(multiplexer.watchdog_open());
  }
  wd->absent = wd->refuse_writes = false;
}

TEST(TimerPoolPlugins, SmallestPositiveWaitBoundsThePoll) {
  TestPipe idle("idle");
  idle.Watch();
  Plugin a, b, none;
  a.wait = 7;
  b.wait = 3;
  a.timerHook();
  b.timerHook();
  none.timerHook();
  multiplexer.pass();
  EXPECT_EQ(multiplexer.last_poll_timeout(), 3);
  EXPECT_EQ(none.asked, 1);
}

TEST(TimerPoolPlugins, UnhookDuringTheWalkRemovesFromTheWalk) {
  TestPipe idle("idle");
  idle.Watch();
  idle.MakeReadable();
  Plugin first, second;
  first.wait = second.wait = 5;
  first.timerHook();
  second.timerHook();
  first.unhooks = &second;
  multiplexer.pass();
  EXPECT_EQ(first.asked, 1);
  EXPECT_EQ(second.asked, 0);
  multiplexer.pass();
  EXPECT_EQ(second.asked, 0);
}

}  // namespace

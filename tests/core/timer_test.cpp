// Timers: firing order, cancellation, re-arming, the clock seam and the
// two-hour guard. Time is moved with the board clock, never waited for.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dpc.h"
#include "core/mux_clock.h"
#include "core/timer.h"
#include "platform/clock.h"
#include "tests/core/loop_fixture.h"

namespace {

struct Recorder {
  std::vector<std::string> fired;
  Timer a, b, c;
  int periodic_runs = 0;
  Timer* seen_in_callback = reinterpret_cast<Timer*>(1);
  TimerEvent* pending_in_callback = reinterpret_cast<TimerEvent*>(1);

  void A() { fired.push_back("a"); }
  void B() { fired.push_back("b"); }
  void C() { fired.push_back("c"); }
  void SetBothSame() {
    fired.push_back("setter");
    b.set(0, &Recorder::B, this);
    c.set(0, &Recorder::C, this);
  }
  void CancelsB() {
    fired.push_back("a");
    b.reset();
  }
  void Periodic() {
    ++periodic_runs;
    a.set(100, &Recorder::Periodic, this);
  }
  void WithTimer(Timer* t) {
    seen_in_callback = t;
    pending_in_callback = t->get();
  }
  void ZeroDelayFromCallback() {
    fired.push_back("first");
    b.set(0, &Recorder::B, this);
  }
};

class Timers : public ::testing::Test {
 protected:
  // A readable watched pipe: every pass returns from poll at once.
  void SetUp() override {
    keep_alive.Watch();
    keep_alive.MakeReadable();
  }
  TestPipe keep_alive{"keep-alive"};
  Recorder r;
};

TEST_F(Timers, EqualDeadlinesFireInTheOrderTheyWereSet) {
  r.a.set(50, &Recorder::SetBothSame, &r);
  platform::advance_clock(50);
  multiplexer.pass();
  multiplexer.pass();
  EXPECT_EQ(r.fired, (std::vector<std::string>{"setter", "b", "c"}));
}

TEST_F(Timers, ResetInsideTheFiringLoopPreventsAnotherDueTimer) {
  r.a.set(10, &Recorder::CancelsB, &r);
  r.b.set(10, &Recorder::B, &r);
  platform::advance_clock(10);
  multiplexer.pass();
  EXPECT_EQ(r.fired, (std::vector<std::string>{"a"}));
  EXPECT_EQ(r.b.get(), nullptr);
}

TEST_F(Timers, CallbackRearmingItsOwnTimerRunsPeriodically) {
  r.a.set(100, &Recorder::Periodic, &r);
  for (int i = 0; i < 5; ++i) {
    platform::advance_clock(100);
    multiplexer.pass();
  }
  EXPECT_EQ(r.periodic_runs, 5);
  EXPECT_NE(r.a.get(), nullptr);
}

TEST_F(Timers, InsideTheCallbackTheOwningTimerIsIdle) {
  r.a.set(0, &Recorder::WithTimer, &r);
  multiplexer.pass();
  EXPECT_EQ(r.seen_in_callback, &r.a);
  EXPECT_EQ(r.pending_in_callback, nullptr);
}

TEST_F(Timers, DestroyingOrReArmingCancels) {
  {
    Timer scoped;
    scoped.set(0, &Recorder::A, &r);
  }
  r.b.set(0, &Recorder::B, &r);
  r.b.set(0, &Recorder::C, &r);  // replaces B
  unsigned listed = multiplexer.timer_count();
  EXPECT_EQ(listed, 1u);
  multiplexer.pass();
  EXPECT_EQ(r.fired, (std::vector<std::string>{"c"}));
  EXPECT_EQ(multiplexer.timer_count(), 0u);
}

TEST_F(Timers, TenSecondTimerFiresAsSoonAsTheClockIsAdvanced) {
  r.a.set(10000, &Recorder::A, &r);
  platform::advance_clock(9999);
  multiplexer.pass();
  EXPECT_TRUE(r.fired.empty());
  EXPECT_GE(multiplexer.last_poll_timeout(), 0);
  EXPECT_LE(multiplexer.last_poll_timeout(), 1) << "poll waits only for what is left";
  platform::advance_clock(1);
  multiplexer.pass();
  EXPECT_EQ(r.fired, (std::vector<std::string>{"a"}));
}

TEST_F(Timers, ZeroDelayTimerSetInACallbackFiresByTheNextPass) {
  r.a.set(0, &Recorder::ZeroDelayFromCallback, &r);
  multiplexer.pass();
  if (r.fired.size() == 1) {
    EXPECT_GE(multiplexer.last_poll_timeout(), 0);
    EXPECT_LE(multiplexer.last_poll_timeout(), 1);
    multiplexer.pass();
  }
  EXPECT_EQ(r.fired, (std::vector<std::string>{"first", "b"}));
}

struct ArmsFromDpc {
  Recorder* r;
  Dpc dpc;
  void Run() {
    dpc.Deactivate();
    r->b.set(0, &Recorder::B, r);
  }
};

TEST_F(Timers, ZeroDelayTimerSetByADeferredCallDoesNotLetPollWaitForever) {
  ArmsFromDpc arms{&r, {}};
  arms.dpc.Bind(&arms, &ArmsFromDpc::Run);
  arms.dpc.Activate();
  multiplexer.pass();
  EXPECT_GE(multiplexer.last_poll_timeout(), 0) << "a due timer must bound the wait";
  EXPECT_LE(multiplexer.last_poll_timeout(), 1);
  multiplexer.pass();
  EXPECT_EQ(r.fired, (std::vector<std::string>{"b"}));
}

TEST_F(Timers, WaitsBeyondTwoHoursAreReportedAndPulledInToOneSecond) {
  r.a.set(7200001, &Recorder::A, &r);
  r.b.set(7300000, &Recorder::B, &r);
  uint32_t now = Mux::milliseconds();
  StreamCapture err(std::cerr);
  int wait = multiplexer.timers_schedule();
  EXPECT_EQ(wait, 1000);
  EXPECT_EQ(err.text().rfind("******** RUNTIME ERROR CONDITION *************"
                             "Multiplexer::timers_schedule() invalid wait time detected!\nnow = ",
                             0),
            0u)
      << err.text();
  EXPECT_NE(err.text().find("\ncount = 2\n"), std::string::npos);
  for (TimerEvent* t : {r.a.get(), r.b.get()}) {
    EXPECT_LE(int32_t(t->get_deadline() - now), 1000 + 50);
    EXPECT_GE(int32_t(t->get_deadline() - now), 1000);
  }
}

TEST_F(Timers, JustUnderTwoHoursIsAccepted) {
  r.a.set(7200000, &Recorder::A, &r);
  StreamCapture err(std::cerr);
  int wait = multiplexer.timers_schedule();
  EXPECT_GT(wait, 7199000);
  EXPECT_EQ(err.text(), "");
}

struct StatusOwner {
  int updates = 0;
  void Update();
  static constexpr TimerSpec<StatusOwner> updateSpec{&StatusOwner::Update, 3000};
  TimerSpec<StatusOwner>::SpecTimer<updateSpec> timer;
};
void StatusOwner::Update() {
  ++updates;
  timer.set(this);
}

TEST_F(Timers, SpecTimerArmsFromTheStaticDescriptorAndRepeats) {
  StatusOwner owner;
  owner.timer.set(&owner);
  platform::advance_clock(2999);
  multiplexer.pass();
  EXPECT_EQ(owner.updates, 0);
  for (int i = 0; i < 3; ++i) {
    platform::advance_clock(i == 0 ? 1 : 3000);
    multiplexer.pass();
  }
  EXPECT_EQ(owner.updates, 3);
}

TEST(MuxClock, HelpersNormaliseAndCompare) {
  Mux::timeval a = Mux::make_from_msec(1500), b = Mux::make_from_usec(2700000), sum, diff;
  EXPECT_EQ(a.tv_sec, 1);
  EXPECT_EQ(a.tv_usec, 500000);
  Mux::timevaladd2(a, b, sum);
  EXPECT_EQ(sum.tv_sec, 4);
  EXPECT_EQ(sum.tv_usec, 200000);
  Mux::timevalsub2(a, b, diff);
  EXPECT_EQ(diff.tv_sec, -2);
  EXPECT_EQ(diff.tv_usec, 800000);
  EXPECT_EQ(Mux::timevaldiff(a, b), 1200u);
  EXPECT_EQ(Mux::timevaldiff(b, a), 0u) << "earlier gives 0";
  EXPECT_EQ(Mux::timevalcompare(a, b), -1);
  EXPECT_EQ(Mux::timevalcompare(b, a), 1);
  EXPECT_EQ(Mux::timevalcompare(a, a), 0);
  Mux::timeval_timer t;
  t.init(a, 1000);
  EXPECT_FALSE(t.is_expired(Mux::make_from_msec(2500)));
  EXPECT_TRUE(t.is_expired(Mux::make_from_msec(2501)));
  t.inc();
  EXPECT_FALSE(t.is_expired(Mux::make_from_msec(3500)));
}

TEST(MuxClock, TimevalToStringHasMicroseconds) {
  Mux::timeval tv;
  tv.tv_sec = 0;
  tv.tv_usec = 250;
  std::string text = Mux::timevaltostring(tv);
  EXPECT_EQ(text.size(), std::string("1970-01-01 00:00:00.000250").size());
  EXPECT_EQ(text.substr(text.size() - 7), ".000250");
}

}  // namespace

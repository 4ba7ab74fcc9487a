// Deferred calls: once per round, twice per pass, and changes during a round.

#include <gtest/gtest.h>

#include "core/dpc.h"
#include "tests/core/loop_fixture.h"

namespace {

struct Counter {
  int runs = 0;
  Dpc dpc;
  Dpc* other = nullptr;
  bool deactivate_self = false;
  bool deactivate_other = false;
  bool activate_other = false;
  void Run() {
    ++runs;
    if (deactivate_self) dpc.Deactivate();
    if (deactivate_other) other->Deactivate();
    if (activate_other) other->Activate();
  }
  Counter() { dpc.Bind(this, &Counter::Run); }
};

class Dpcs : public ::testing::Test {
 protected:
  // A readable watched pipe: every pass returns from poll at once.
  void SetUp() override {
    keep_alive.Watch();
    keep_alive.MakeReadable();
  }
  TestPipe keep_alive{"keep-alive"};
};

TEST_F(Dpcs, ActiveCallRunsTwicePerPass) {
  Counter c;
  c.dpc.Activate();
  c.dpc.Activate();  // no duplicate
  multiplexer.pass();
  EXPECT_EQ(c.runs, 2);
}

TEST_F(Dpcs, SelfDeactivatingCallRunsOncePerActivation) {
  Counter c;
  c.deactivate_self = true;
  c.dpc.Activate();
  multiplexer.pass();
  multiplexer.pass();
  EXPECT_EQ(c.runs, 1);
  c.dpc.Activate();
  multiplexer.pass();
  EXPECT_EQ(c.runs, 2);
}

TEST_F(Dpcs, CallDeactivatedDuringTheRoundDoesNotRun) {
  // Rounds run in address order; the first of two adjacent objects runs first.
  Counter pair[2];
  pair[0].other = &pair[1].dpc;
  pair[0].deactivate_other = true;
  pair[0].dpc.Activate();
  pair[1].dpc.Activate();
  multiplexer.execute_dpc();
  EXPECT_EQ(pair[0].runs, 1);
  EXPECT_EQ(pair[1].runs, 0);
}

TEST_F(Dpcs, CallActivatedDuringTheRoundRunsFromTheNextRound) {
  Counter pair[2];
  pair[0].other = &pair[1].dpc;
  pair[0].activate_other = true;
  pair[0].dpc.Activate();
  multiplexer.execute_dpc();
  EXPECT_EQ(pair[1].runs, 0);
  multiplexer.execute_dpc();
  EXPECT_EQ(pair[1].runs, 1);
}

TEST_F(Dpcs, DestroyingAnActiveCallRemovesIt) {
  size_t before = multiplexer.dpc_count();
  {
    Counter c;
    c.dpc.Activate();
    EXPECT_EQ(multiplexer.dpc_count(), before + 1);
  }
  EXPECT_EQ(multiplexer.dpc_count(), before);
  multiplexer.pass();
}

}  // namespace

// Ordering guarantees of the loop's descriptor handling.

#include <gtest/gtest.h>

#include <vector>

#include "core/multiplexer.h"
#include "tests/core/loop_fixture.h"

namespace {

TEST(Multiplexer, EveryHandlerIsInvokedInAttachOrderAfterAPollThatReportedAnything) {
  TestPipe a("a"), b("b"), idle("idle");
  std::vector<std::string> order;
  for (TestPipe* p : {&a, &b, &idle}) {
    p->on_event = [&order, p](short) { order.push_back(p->event.name()); };
    p->Watch();
  }
  a.MakeReadable();
  b.MakeReadable();
  multiplexer.pass();
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "idle"}));
  EXPECT_EQ(a.last_revents, POLLIN);
  EXPECT_EQ(idle.last_revents, 0) << "an idle handler is invoked with revents 0";
  EXPECT_EQ(a.event.hits(), 1u);
  EXPECT_EQ(idle.event.hits(), 0u);
}

TEST(Multiplexer, HandlerAttachedInsideACallbackIsFirstPolledNextPass) {
  TestPipe a("a"), late("late");
  late.MakeReadable();
  a.on_event = [&](short) {
    if (!late.event.is_attached()) late.Watch();
  };
  a.Watch();
  a.MakeReadable();
  multiplexer.pass();
  EXPECT_EQ(late.calls, 0);
  multiplexer.pass();
  EXPECT_EQ(late.calls, 1);
  EXPECT_EQ(late.last_revents, POLLIN);
}

TEST(Multiplexer, HandlerDetachingItselfIsNotServicedAgainAndNothingIsReported) {
  TestPipe a("a"), b("b");
  a.on_event = [&](short) { a.event.Release(); };
  a.Watch();
  b.Watch();
  a.MakeReadable();
  b.MakeReadable();
  StreamCapture err(std::cerr);
  multiplexer.pass();
  multiplexer.pass();
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 2);
  EXPECT_EQ(err.text(), "");
}

TEST(Multiplexer, HandlerDetachedByAnEarlierCallbackInThePassIsSkipped) {
  TestPipe a("a"), b("b");
  a.on_event = [&](short) { b.event.Release(); };
  a.Watch();
  b.Watch();
  a.MakeReadable();
  multiplexer.pass();
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 0);
}

TEST(Multiplexer, HandlerDestroyedInsideItsOwnCallbackIsSafe) {
  TestPipe keep("keep");
  keep.Watch();
  auto doomed = std::make_unique<TestPipe>("doomed");
  doomed->on_event = [&](short) { doomed.reset(); };
  doomed->Watch();
  doomed->MakeReadable();
  multiplexer.pass();
  EXPECT_EQ(doomed, nullptr);
  EXPECT_EQ(keep.calls, 1);
}

TEST(Multiplexer, DoubleAttachAndUnknownDetachAreReportedWithoutChange) {
  TestPipe a("pipe a");
  a.Watch();
  unsigned before = multiplexer.handler_count();
  StreamCapture err(std::cerr);
  multiplexer.attach(&a.event);
  TestPipe stranger("stranger");
  multiplexer.detach(&stranger.event);
  EXPECT_EQ(err.text(),
            "duplicate multiplexer attach \"pipe a\" ignored.\n"
            "indvalid Multiplexer::detach stranger\n");
  EXPECT_EQ(multiplexer.handler_count(), before);
}

TEST(Multiplexer, TerminateStopsServicingAndKeepsTheRestRegistered) {
  TestPipe a("a"), b("b");
  a.on_event = [&](short) { multiplexer.terminate(); };
  a.Watch();
  b.Watch();
  a.MakeReadable();
  multiplexer.pass();
  EXPECT_EQ(a.calls, 1);
  EXPECT_EQ(b.calls, 0);
  EXPECT_EQ(multiplexer.handler_count(), 2u);
  a.on_event = nullptr;
  multiplexer.resume();
  multiplexer.pass();
  EXPECT_EQ(b.calls, 1) << "b stayed registered and is serviced in the next pass";
}

TEST(Multiplexer, PollEventAsTextNamesTheBitsInOrder) {
  EXPECT_EQ(PollEventAsText(0x38), "POLLERR|POLLHUP|POLLNVAL");
  EXPECT_EQ(PollEventAsText(5), "POLLIN|POLLOUT");
  EXPECT_EQ(PollEventAsText(0), "");
  EXPECT_EQ(PollEventAsText(0x7ff),
            "POLLIN|POLLPRI|POLLOUT|POLLERR|POLLHUP|POLLNVAL|POLLRDNORM|POLLRDBAND|POLLWRNORM|POLLWRBAND|POLLMSG");
}

TEST(Measure, PutBeforeAnySampleIsAllZero) {
  Measure m;
  std::ostringstream out;
  m.put(out);
  EXPECT_EQ(out.str(), "min=0 max=0 avg=0 counter=0");
}

TEST(Multiplexer, DumpListsNamedHandlersInATable) {
  TestPipe a("DumpTest::OnEvent");
  a.Watch();
  a.MakeReadable();
  multiplexer.pass();  // moves it from pending to active
  std::ostringstream out;
  multiplexer.dump(out);
  std::string text = out.str();
  EXPECT_NE(text.find("dpc transition measurement (min/max/cur/counter): min="), std::string::npos);
  EXPECT_NE(text.find("|           DumpTest::OnEvent            |            POLLIN            |    1     |"
                      " attached |"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.substr(text.size() - 3), "+\n\n");
}

using MultiplexerDeathTest = ::testing::Test;

TEST_F(MultiplexerDeathTest, NothingToWaitForAbortsWithHangMessage) {
  EXPECT_DEATH(multiplexer.pass(), "multiplexer: system hang detected!!!");
}

}  // namespace

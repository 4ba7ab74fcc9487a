// TPKT framing: cutting the stream into messages whatever the read
// boundaries, resynchronising after garbage, the partial-frame timeout, and
// the header on outgoing messages.

#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include "core/multiplexer.h"
#include "core/profile.h"
#include "platform/clock.h"
#include "tests/core/loop_fixture.h"
#include "tests/transport/tpkt_stack.h"

namespace {

using Messages = std::vector<std::string>;

class Tpkt : public ::testing::Test {
 protected:
  void SetUp() override {
    keep_alive.Watch();
    keep_alive.MakeReadable();
  }
  void advance(uint32_t ms) {
    platform::advance_clock(ms);
    multiplexer.pass();
  }
  TestPipe keep_alive{"keep-alive"};
  TpktStack stack;
};

TEST_F(Tpkt, OneFrameOneMessage) {
  stack.bottom->inject(hex({3, 0, 0, 7, 'A', 'B', 'C'}));
  EXPECT_EQ(stack.messages, Messages{"ABC"});
  EXPECT_EQ(stack.tpkt->state(), Tpkt_protocol::idle);
  EXPECT_FALSE(stack.tpkt->timer_pending());
}

TEST_F(Tpkt, TwoFramesInOneReadDeliverTwoMessagesInOrder) {
  stack.bottom->inject(frame("first") + frame("second"));
  EXPECT_EQ(stack.messages, (Messages{"first", "second"}));
}

TEST_F(Tpkt, AFrameSplitAtEveryBytePositionIsDeliveredOnce) {
  const std::string stream = frame("ABC") + frame("") + frame(std::string(300, 'z'));
  const Messages expected{"ABC", "", std::string(300, 'z')};
  for (size_t cut = 1; cut < stream.size(); ++cut) {
    TpktStack s;
    s.bottom->inject(stream.substr(0, cut));
    s.bottom->inject(stream.substr(cut));
    EXPECT_EQ(s.messages, expected) << "cut at " << cut;
    EXPECT_EQ(s.tpkt->state(), Tpkt_protocol::idle) << "cut at " << cut;
  }
  TpktStack bytewise;
  for (char c : stream) bytewise.bottom->inject(std::string(1, c));
  EXPECT_EQ(bytewise.messages, expected);
}

TEST_F(Tpkt, GarbageBeforeAFrameIsSkippedByteByByte) {
  StreamCapture log(std::clog);
  stack.bottom->inject(hex({5, 3, 0, 0, 5, 'X'}));
  EXPECT_EQ(stack.messages, Messages{"X"});
  EXPECT_EQ(log.text(), "(no name) bad TPKT packet start.\n");
}

TEST_F(Tpkt, BadReservedByteIsLoggedAndTheFrameStillRead) {
  StreamCapture log(std::clog);
  stack.bottom->inject(hex({3, 9, 0, 5, 'Y'}));
  EXPECT_EQ(stack.messages, Messages{"Y"});
  EXPECT_EQ(log.text(), "(no name) bad TPKT reserved.\n");
}

TEST_F(Tpkt, TooSmallALengthIsLoggedAndParsingRestarts) {
  StreamCapture log(std::clog);
  stack.bottom->inject(hex({3, 0, 0, 2}) + frame("ok"));
  EXPECT_EQ(log.text(), "TPKT too small 2\n");
  EXPECT_EQ(stack.messages, Messages{"ok"});
}

TEST_F(Tpkt, AnEmptyMessageIsDeliveredWithItsHeader) {
  stack.bottom->inject(hex({3, 0, 0, 4}));
  EXPECT_EQ(stack.messages, Messages{""});
  EXPECT_FALSE(stack.tpkt->timer_pending());
}

TEST_F(Tpkt, PartialFrameIsDiscardedThreeSecondsAfterItsLastBytes) {
  StreamCapture log(std::clog);
  stack.bottom->inject(hex({3, 0, 0, 9, 'a'}));
  advance(2000);
  stack.bottom->inject("b");  // new bytes restart the 3 seconds
  advance(2999);
  EXPECT_EQ(stack.tpkt->state(), Tpkt_protocol::payload);
  EXPECT_EQ(log.text(), "");

  advance(1);
  EXPECT_EQ(log.text(), " TPKT packet timeout.\n");
  EXPECT_EQ(stack.tpkt->state(), Tpkt_protocol::idle);

  // What would have completed the old frame is garbage now; the next frame is read.
  stack.bottom->inject("cde" + frame("next"));
  EXPECT_EQ(stack.messages, Messages{"next"});
}

TEST_F(Tpkt, ResetDuringDeliveryDropsTheRestOfTheRead) {
  stack.after_message = [this] { stack.tpkt->deactivate(); };
  stack.bottom->inject(frame("one") + frame("two"));
  EXPECT_EQ(stack.messages, Messages{"one"});
  EXPECT_EQ(stack.tpkt->state(), Tpkt_protocol::idle);
  EXPECT_FALSE(stack.tpkt->timer_pending());
}

TEST_F(Tpkt, SendingPrependsTheHeader) {
  stack.send("abc");
  EXPECT_EQ(stack.bottom->wire, hex({3, 0, 0, 7, 'a', 'b', 'c'}));
  stack.bottom->wire.clear();
  stack.send(std::string(300, 'q'));
  EXPECT_EQ(stack.bottom->wire, frame(std::string(300, 'q')));

  bool profiled = false;
  for (Profile::Point* p = Profile::Point::mRoot; p; p = p->next())
    if (p->name() == "Tpkt_protocol::message") profiled = p->measure().counter() >= 2;
  EXPECT_TRUE(profiled);
}

TEST_F(Tpkt, TheLargestMessageFitsAndALargerOneIsRefused) {
  std::string largest(Tpkt_protocol::max_payload, 'm');
  stack.send(largest);
  ASSERT_EQ(stack.bottom->wire.size(), 65535u);
  EXPECT_EQ(stack.bottom->wire.substr(0, 4), hex({3, 0, 0xFF, 0xFF}));

  stack.bottom->wire.clear();
  StreamCapture err(std::cerr);
  stack.send(largest + "m");
  EXPECT_EQ(stack.bottom->wire, "");
  EXPECT_EQ(err.text(), "TPKT message too big, length = 65532 max = 65531\n");
}

// Whatever arrives, the parser neither crashes nor keeps buffers, and once a
// stalled frame times out the next valid frame is delivered.
TEST_F(Tpkt, RandomStreamsNeverLoseAFrameAfterTheTimeout) {
  std::mt19937 random(20240601);
  StreamCapture quiet(std::clog);
  size_t free_at_start = packet_pool.available();
  for (int round = 0; round < 200; ++round) {
    TpktStack s;
    std::string garbage(random() % 400, '\0');
    for (char& c : garbage) c = char(random() % 4 == 0 ? 3 : random());
    size_t at = 0;
    while (at < garbage.size()) {
      size_t n = 1 + random() % 64;
      s.bottom->inject(garbage.substr(at, n));
      at += n;
    }
    // At most the frame being assembled holds a buffer.
    EXPECT_LE(packet_pool.available(), free_at_start) << "round " << round;
    EXPECT_GE(packet_pool.available() + 1, free_at_start) << "round " << round;
    if (s.tpkt->state() != Tpkt_protocol::idle) advance(Tpkt_protocol::partial_frame_timeout_ms);
    EXPECT_EQ(s.tpkt->state(), Tpkt_protocol::idle);
    s.messages.clear();
    s.bottom->inject(frame("valid"));
    EXPECT_EQ(s.messages, Messages{"valid"}) << "round " << round;
  }
  EXPECT_EQ(packet_pool.available(), free_at_start);
}

}  // namespace

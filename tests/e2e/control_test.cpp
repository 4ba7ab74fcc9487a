// The running daemon answers its controller over TCP: envelopes, refusal of a
// second controller, and the heartbeat driven by the board's clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/e2e/control_fixture.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;

class Control : public ControlDaemon {};

TEST_F(Control, AnswersEveryEnvelopeAsTheRulesSay) {
  Controller c;
  ASSERT_TRUE(Connect(c));
  EXPECT_EQ(Line((c.send(Ping(9)), c.receive())), "{ seq 9, pdu response : success : NULL }");
  EXPECT_EQ(Line((c.send(Ping()), c.receive())), "{ pdu response : success : NULL }");
  // No service takes query with a slot yet.
  LGCP::Message query = Command([](LGCP::Command& cmd) { cmd.get_query(); }, 4, 12);
  EXPECT_EQ(Line((c.send(query), c.receive())), "{ seq 4, slot 12, pdu response : error : unexpectedMsgType }");

  LGCP::Message response;
  response.set_seq(ASN1::INTEGER(5));
  response.set_slot(LGCP::Message::slot::value_type(3u));
  response.get_pdu().get_response().get_success();
  EXPECT_EQ(Line((c.send(response), c.receive())), "{ seq 5, pdu response : error : unexpectedMsgType }");
  LGCP::Message signal;
  signal.set_seq(ASN1::INTEGER(6));
  signal.set_slot(LGCP::Message::slot::value_type(3u));
  signal.get_pdu().get_signal().get_activated();
  EXPECT_EQ(Line((c.send(signal), c.receive())), "{ seq 6, pdu response : error : unexpectedMsgType }");

  // Slot 1024, written by hand: presence bits, seq 01 07, slot 04 00, ping.
  Bytes bad = Encode(Ping(7, 1000));
  bad[3] = 0x04;
  bad[4] = 0x00;
  EXPECT_EQ(Line((c.send_payload(bad), c.receive())), "{ seq 7, pdu response : error : invalidSlot }");

  ASSERT_TRUE(c.send_payload({0xC0, 0x05}));
  EXPECT_TRUE(c.silent(1500));
  EXPECT_TRUE(Daemon::wait_until([&] {
    return daemon.err().find("ctrl [server]: receive fail: decode error!\n msg: C0 05 \n") != std::string::npos;
  }));
  EXPECT_EQ(Line((c.send(Ping(10)), c.receive())), "{ seq 10, pdu response : success : NULL }");
}

TEST_F(Control, SecondControllerIsRefusedUntilTheFirstLeaves) {
  Controller first, second;
  ASSERT_TRUE(Connect(first));
  ASSERT_TRUE(second.connect(port));
  EXPECT_TRUE(second.closed_by_peer());
  EXPECT_TRUE(Daemon::wait_until([&] { return daemon.err().find("refuse connection from") != std::string::npos; }));
  EXPECT_EQ(Line((first.send(Ping(1)), first.receive())), "{ seq 1, pdu response : success : NULL }");

  first.close();
  Controller third;
  ASSERT_TRUE(Connect(third));
  // Commands reach the services again after the reconnection.
  EXPECT_EQ(Line((third.send(Ping(2)), third.receive())), "{ seq 2, pdu response : success : NULL }");
  LGCP::Message query = Command([](LGCP::Command& cmd) { cmd.get_query(); }, 3, 1);
  EXPECT_EQ(Line((third.send(query), third.receive())), "{ seq 3, slot 1, pdu response : error : unexpectedMsgType }");
}

TEST_F(Control, SilenceAfterACommandDropsTheControllerButNoCommandNever) {
  Controller idle;
  ASSERT_TRUE(Connect(idle));
  EXPECT_EQ(daemon.board("clock advance 300000").rfind("ok", 0), 0u);
  EXPECT_TRUE(idle.silent(2500));
  EXPECT_EQ(daemon.out().find("heartbeat timeout!!!"), std::string::npos);

  EXPECT_EQ(Line((idle.send(Ping(1)), idle.receive())), "{ seq 1, pdu response : success : NULL }");
  // Well short of the timeout, even with the real time that passes meanwhile.
  daemon.board("clock advance 100000");
  EXPECT_EQ(Line((idle.send(Ping(2)), idle.receive())), "{ seq 2, pdu response : success : NULL }");
  daemon.board("clock advance 100000");
  EXPECT_TRUE(idle.silent(1500));
  EXPECT_EQ(daemon.out().find("heartbeat timeout!!!"), std::string::npos);
  daemon.board("clock advance 20000");
  EXPECT_TRUE(idle.closed_by_peer());
  EXPECT_THAT(daemon.out(), HasSubstr("heartbeat timeout!!!\n"));

  Controller next;
  ASSERT_TRUE(Connect(next));
  EXPECT_EQ(Line((next.send(Ping(3)), next.receive())), "{ seq 3, pdu response : success : NULL }");
}

}  // namespace
}  // namespace e2e

// The control server over a real loopback connection: the envelope rules,
// the one-response guarantee, signals, and the log lines.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "asn1/coder_env.h"
#include "tests/protocol/ctrl/ctrl_fixture.h"

namespace ctrl_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using e2e::Bytes;

LGCP::Message Query(std::optional<int> seq, std::optional<unsigned> slot) {
  return e2e::Command([](LGCP::Command& c) { c.get_query(); }, seq, slot);
}

LGCP::Message FromController(bool response, std::optional<int> seq, std::optional<unsigned> slot) {
  LGCP::Message m;
  if (seq) m.set_seq(ASN1::INTEGER(*seq));
  if (slot) m.set_slot(LGCP::Message::slot::value_type(*slot));
  if (response)
    m.get_pdu().get_response().get_success();
  else
    m.get_pdu().get_signal().get_activated();
  return m;
}

LGCP::Signal Activated() {
  LGCP::Signal s;
  s.get_activated();
  return s;
}

struct EnvelopeCase {
  const char* name;
  LGCP::Message request;
  const char* answer;
};

TEST_F(CtrlServerTest, EveryKindOfMessageGetsTheEnvelopeItsRulesAsk) {
  const EnvelopeCase cases[] = {
      {"ping with seq", e2e::Ping(9), "{ seq 9, pdu response : success : NULL }"},
      {"ping without seq", e2e::Ping(), "{ pdu response : success : NULL }"},
      {"ping with seq and slot", e2e::Ping(-4, 1023), "{ seq -4, slot 1023, pdu response : success : NULL }"},
      {"command nobody takes", Query(3, 7), "{ seq 3, slot 7, pdu response : error : unexpectedMsgType }"},
      {"command nobody takes, no seq", Query(std::nullopt, std::nullopt),
       "{ pdu response : error : unexpectedMsgType }"},
      {"response from the controller", FromController(true, 11, 5),
       "{ seq 11, pdu response : error : unexpectedMsgType }"},
      {"signal from the controller", FromController(false, 12, 6),
       "{ seq 12, pdu response : error : unexpectedMsgType }"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Text(Ask(c.request)), c.answer);
  }
  // The controller's own response and signal were not offered to anyone.
  EXPECT_EQ(first.offered.size(), 2u);
}

TEST_F(CtrlServerTest, SlotBeyondItsRangeIsAnsweredInvalidSlotWithoutSlot) {
  // {seq 2, slot 1024, ping}: C0, seq 01 02, slot 04 00, command ping (0x06 0x00 shifted).
  Bytes ok = e2e::Encode(e2e::Ping(2, 1000));
  ASSERT_EQ(ok[3], 0x03);
  ASSERT_EQ(ok[4], 0xE8);
  for (unsigned slot : {1024u, 0xFFFFu}) {
    Bytes bad = ok;
    bad[3] = uint8_t(slot >> 8);
    bad[4] = uint8_t(slot);
    ASSERT_TRUE(controller.send_payload(bad));
    EXPECT_EQ(Text(controller.receive()), "{ seq 2, pdu response : error : invalidSlot }");
  }
  // Not offered to any service, and the watchdog was not restarted.
  EXPECT_TRUE(first.offered.empty());
  EXPECT_FALSE(heartbeat.armed());
  // Without seq the slot sits right after the presence bits.
  Bytes noseq = e2e::Encode(e2e::Ping(std::nullopt, 1));
  noseq[1] = 0x7F;
  ASSERT_TRUE(controller.send_payload(noseq));
  EXPECT_EQ(Text(controller.receive()), "{ pdu response : error : invalidSlot }");
}

TEST_F(CtrlServerTest, UndecodablePayloadIsLoggedWithItsBytesAndNotAnswered) {
  ASSERT_TRUE(controller.send_payload({0x06}));
  ASSERT_TRUE(controller.send_payload({0xC0, 0x01}));
  ASSERT_TRUE(RunUntil([&] { return err.text().find("C0 01") != std::string::npos; }));
  EXPECT_EQ(err.text(),
            "ctrl [server]: receive fail: decode error!\n msg: 06 \n"
            "ctrl [server]: receive fail: decode error!\n msg: C0 01 \n");
  EXPECT_TRUE(controller.silent(200));
  // The connection still serves.
  EXPECT_EQ(Text(Ask(e2e::Ping(1))), "{ seq 1, pdu response : success : NULL }");
}

TEST_F(CtrlServerTest, CommandsAreOfferedInBindingOrderUntilOneTakesIt) {
  second.accept = [](const LGCP::Command& c) { return c.is_query(); };
  second.on_command = [](ScriptedService& s) { s.Success(); };
  EXPECT_EQ(Text(Ask(Query(1, std::nullopt))), "{ seq 1, pdu response : success : NULL }");
  EXPECT_THAT(first.offered, ElementsAre("query : NULL"));
  EXPECT_THAT(second.offered, ElementsAre("query : NULL"));
  // ping is taken by the heartbeat, first in line.
  Ask(e2e::Ping(2));
  EXPECT_EQ(first.offered.size(), 1u);
}

TEST_F(CtrlServerTest, EachCommandGetsOneResponseWhateverTheServiceDoes) {
  first.accept = [](const LGCP::Command& c) { return c.is_query(); };
  struct Case {
    const char* name;
    std::function<void(ScriptedService&)> script;
    std::vector<std::string> answers;
    const char* log;
  };
  const Case cases[] = {
      {"success twice", [](ScriptedService& s) { s.Success(); s.Success(); },
       {"{ seq 5, slot 3, pdu response : success : NULL }"}, ""},
      {"error twice", [](ScriptedService& s) { s.Error(LGCP::ErrorCause::busError); s.Error(LGCP::ErrorCause::internal); },
       {"{ seq 5, slot 3, pdu response : error : busError }"}, ""},
      {"success then error", [](ScriptedService& s) { s.Success(); s.Error(LGCP::ErrorCause::connectFail); },
       {"{ seq 5, slot 3, pdu response : success : NULL }", "{ seq 5, slot 3, pdu response : error : connectFail }"}, ""},
      {"taken, not answered", [](ScriptedService&) {},
       {"{ seq 5, slot 3, pdu response : error : internal }"},
       "ctrl [server]: software error: server do NOT send ack!!!\nPlease contact technical support.\n"},
      {"deferred, then error", [](ScriptedService& s) { EXPECT_EQ(s.delayResponse(), 5); s.Success(); s.Error(LGCP::ErrorCause::unsupported); },
       {"{ seq 5, slot 3, pdu response : error : unsupported }"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    first.on_command = c.script;
    StreamCapture log{std::cerr};
    ASSERT_TRUE(controller.send(Query(5, 3)));
    for (const auto& answer : c.answers) EXPECT_EQ(Text(controller.receive()), answer);
    EXPECT_TRUE(controller.silent(100));
    EXPECT_EQ(log.text(), c.log);
  }
}

TEST_F(CtrlServerTest, DeferredSuccessCarriesTheValuesHandedOver) {
  int seq = 0;
  first.accept = [](const LGCP::Command& c) { return c.is_query(); };
  first.on_command = [&](ScriptedService& s) { seq = s.delayResponse(); };
  ASSERT_TRUE(controller.send(Query(42, 8)));
  EXPECT_TRUE(controller.silent(100));
  EXPECT_EQ(seq, 42);
  // Later, between messages: no current slot, yet both values are carried.
  EXPECT_EQ(first.GetSlot(), -1);
  first.delayedSuccess(8, seq);
  EXPECT_EQ(Text(controller.receive()), "{ seq 42, slot 8, pdu response : success : NULL }");
  // A success after the state was reset by a new command goes out again.
  first.delayedSuccess(9, 1);
  EXPECT_EQ(Text(controller.receive()), "{ seq 1, slot 9, pdu response : success : NULL }");
}

TEST_F(CtrlServerTest, SignalsReachTheOtherServicesFirstAndCarryNoSeq) {
  first.accept = [](const LGCP::Command& c) { return c.is_query(); };
  first.on_command = [](ScriptedService& s) {
    EXPECT_TRUE(s.IsSlotPresent());
    EXPECT_EQ(s.GetSlot(), 4);
    s.SendSignal(Activated());
    s.SendSignal(77, Activated());
    s.Success();
  };
  ASSERT_TRUE(controller.send(Query(6, 4)));
  EXPECT_EQ(Text(controller.receive()), "{ slot 4, pdu signal : activated : NULL }");
  EXPECT_EQ(Text(controller.receive()), "{ slot 77, pdu signal : activated : NULL }");
  EXPECT_EQ(Text(controller.receive()), "{ seq 6, slot 4, pdu response : success : NULL }");
  EXPECT_THAT(second.signals_seen, ElementsAre("activated : NULL", "activated : NULL"));
  EXPECT_TRUE(first.signals_seen.empty());

  // Outside a command a signal has a slot only when the sender names one.
  second.SendSignal(Activated());
  EXPECT_EQ(Text(controller.receive()), "{ pdu signal : activated : NULL }");
  EXPECT_EQ(first.signals_seen.size(), 1u);
  EXPECT_EQ(second.signals_seen.size(), 2u);
}

TEST_F(CtrlServerTest, HeaderNamesTheConnectionState) {
  std::ostringstream connected;
  server.PutHeader(connected);
  EXPECT_EQ(connected.str(), "ctrl [server]: ");
  controller.close();
  ASSERT_TRUE(RunUntil([&] { return first.disconnects == 1; }));
  std::ostringstream waiting;
  server.PutHeader(waiting);
  EXPECT_EQ(waiting.str(), "ctrl [not connected]: ");
  server.Deactivate();
  std::ostringstream none;
  server.PutHeader(none);
  EXPECT_EQ(none.str(), "ctrl [null]: ");
  bool flag = true;
  EXPECT_FALSE(server.CheckServerConnection(flag));
}

TEST_F(CtrlServerTest, ConnectionEventsReachEveryServiceAndDeactivationEndsThem) {
  EXPECT_THAT(out.text(), HasSubstr("ctrl [server]: controller connect.\n"));
  EXPECT_EQ(first.connects, 1);
  EXPECT_EQ(second.connects, 1);
  server.Deactivate();
  EXPECT_EQ(first.disconnects, 1);
  EXPECT_EQ(second.disconnects, 1);
  EXPECT_EQ(server.connection(), nullptr);
  EXPECT_TRUE(controller.closed_by_peer());
  StreamCapture log{std::cerr};
  second.SendSignal(Activated());
  EXPECT_EQ(log.text(), "ctrl [null]: send fail: Service not attached!\n");
}

TEST_F(CtrlServerTest, MessageThatCannotBeEncodedIsLoggedNotSent) {
  LGCP::Signal big;
  big.get_userData().assign(70000, 0x55);
  struct Case {
    const char* name;
    std::function<void()> send;
    const char* notation;
  };
  const Case cases[] = {
      {"slot below range", [&] { first.delayedSuccess(-2, 3); }, "seq 3"},
      {"slot above range", [&] { second.SendSignal(5000, Activated()); }, "slot 5000"},
      {"too long for the codec", [&] { second.SendSignal(big); }, "userData : '55 55"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StreamCapture log{std::cerr};
    c.send();
    EXPECT_EQ(log.text().rfind("ctrl [server]: send fail: encode error!{", 0), 0u);
    EXPECT_NE(log.text().find(c.notation), std::string::npos);
    EXPECT_TRUE(controller.silent(100));
  }
  EXPECT_EQ(Text(Ask(e2e::Ping(1))), "{ seq 1, pdu response : success : NULL }");
}

TEST(CtrlService, HelpersOfAnUnboundServiceLogAndDoNothing) {
  StreamCapture log{std::cerr};
  ScriptedService lone;
  lone.Success();
  lone.Error(LGCP::ErrorCause::internal);
  lone.SendSignal(Activated());
  lone.SendSignal(1, Activated());
  EXPECT_EQ(lone.GetSlot(), -1);
  EXPECT_FALSE(lone.IsSlotPresent());
  EXPECT_EQ(lone.delayResponse(), -1);
  lone.delayedSuccess(1, 1);
  bool connected = true;
  EXPECT_FALSE(lone.CheckServerConnection(connected));
  std::string expected;
  for (int i = 0; i < 8; ++i) expected += "CtrlSrv::Service error! service not connected to server.\n";
  EXPECT_EQ(log.text(), expected);
}

}  // namespace
}  // namespace ctrl_test

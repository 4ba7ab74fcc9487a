// The listening control connection on real loopback sockets: one peer at a
// time, refusals that start the liveness check, disconnections completed from
// the deferred call, and the one-second write stall.

#include <gtest/gtest.h>

#include <netinet/tcp.h>

#include <iostream>

#include "platform/clock.h"
#include "tests/core/loop_fixture.h"
#include "tests/transport/loopback.h"
#include "tests/transport/tpkt_stack.h"
#include "transport/acceptor_net.h"

namespace {

using State = Control::Service::State;

class Acceptor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.Activate());
    port = service.bound_port();
    ASSERT_GT(port, 0);
    ASSERT_TRUE(service.listening());
  }
  Fd connect_and_accept(int rcvbuf = 0) {
    Fd client = connect_client(port, rcvbuf);
    int before = client_.connects;
    EXPECT_TRUE(run_until([&] { return client_.connects > before; }));
    return client;
  }

  StreamCapture err{std::cerr};
  StreamCapture out{std::cout};
  Control::AcceptorNetCheckConnection service{0};
  RecordingClient client_{service};
  int port = 0;
};

TEST_F(Acceptor, ServesOnePeerBothWays) {
  Fd peer = connect_and_accept();
  EXPECT_EQ(service.state(), State::Connected);
  EXPECT_NE(out.text().find("new connection from 127.0.0.1:"), std::string::npos);
  EXPECT_EQ(service.peer_name().rfind("127.0.0.1:", 0), 0u);

  write_all(peer, frame("hello") + frame("world"));
  ASSERT_TRUE(run_until([&] { return client_.messages.size() == 2; }));
  EXPECT_EQ(client_.messages, (std::vector<std::string>{"hello", "world"}));

  service.Send("abc", 3);
  EXPECT_EQ(read_exactly(peer, 7), hex({3, 0, 0, 7, 'a', 'b', 'c'}));
}

TEST_F(Acceptor, SendWhileNoPeerIsConnectedIsDroppedWithAMessage) {
  service.Send("abc", 3);
  EXPECT_EQ(err.text(), "Control::Service::Send() ignore Send request in Connecting state.\n");
}

TEST_F(Acceptor, SecondClientIsRefusedAndStartsTheCheckOnce) {
  Fd first = connect_and_accept();

  Fd second = connect_client(port);
  ASSERT_TRUE(run_until([&] { return service.check_mode() == 1; }));
  EXPECT_NE(err.text().find("refuse connection from 127.0.0.1:"), std::string::npos);
  // The refused client sees its connection closed.
  ASSERT_TRUE(readable(second, 5000));
  char byte;
  EXPECT_EQ(::read(second, &byte, 1), 0);

  Fd third = connect_client(port);
  ASSERT_TRUE(run_until([&] { return readable(third, 0); }));
  EXPECT_EQ(::read(third, &byte, 1), 0);

  std::string log = err.text();
  size_t refusals = 0;
  for (size_t at = 0; (at = log.find("refuse connection from", at)) != std::string::npos; ++at) ++refusals;
  EXPECT_EQ(refusals, 2u);
  size_t first_check = log.find("CheckConnectionState CheckConnection");
  ASSERT_NE(first_check, std::string::npos);
  EXPECT_EQ(log.find("CheckConnectionState CheckConnection", first_check + 1), std::string::npos);
  EXPECT_EQ(service.countdown(), 2);
  EXPECT_EQ(client_.connects, 1);
  EXPECT_EQ(service.state(), State::Connected);

  // The first peer is alive: the next check leaves check mode and keeps it.
  // That needs the kernel's TCP_INFO record (user-mode emulators cut it short).
  tcp_info info{};
  socklen_t len = sizeof info;
  if (::getsockopt(first, IPPROTO_TCP, TCP_INFO, &info, &len) != 0 || len < sizeof(uint32_t) * 2)
    GTEST_SKIP() << "no TCP_INFO record here";
  platform::advance_clock(Control::AcceptorNetCheckConnection::check_period_ms);
  multiplexer.pass();
  EXPECT_EQ(service.check_mode(), 0);
  EXPECT_NE(err.text().find("CheckConnectionState Idle"), std::string::npos);
  EXPECT_EQ(service.state(), State::Connected);
}

TEST_F(Acceptor, PeerCloseIsCompletedFromTheDeferredCallAndTheNextPeerIsAcceptedAtOnce) {
  Fd peer = connect_and_accept();
  peer.close();

  ASSERT_TRUE(run_until([&] { return service.state() == State::Deactivating; }));
  // The socket callback saw the close; the client has not heard of it yet.
  EXPECT_EQ(client_.disconnects, 0);
  EXPECT_NE(err.text().find("control connection " + service.peer_name() + " closed."), std::string::npos);

  multiplexer.pass();
  EXPECT_EQ(client_.disconnects, 1);
  EXPECT_EQ(client_.state_at_disconnect, State::Connecting);

  Fd next = connect_and_accept();
  EXPECT_EQ(client_.connects, 2);
  EXPECT_EQ(service.state(), State::Connected);
  write_all(next, frame("again"));
  ASSERT_TRUE(run_until([&] { return client_.messages.size() == 1; }));
  EXPECT_EQ(client_.messages[0], "again");
}

TEST_F(Acceptor, DisconnectClosesThePeersSocket) {
  Fd peer = connect_and_accept();
  service.Disconnect();
  EXPECT_EQ(service.state(), State::Deactivating);
  multiplexer.pass();
  EXPECT_EQ(client_.disconnects, 1);
  ASSERT_TRUE(readable(peer, 5000));
  char byte;
  EXPECT_EQ(::read(peer, &byte, 1), 0);
  // Nothing to lose any more: a second call reports nothing.
  service.Disconnect();
  multiplexer.pass();
  EXPECT_EQ(client_.disconnects, 1);
}

TEST_F(Acceptor, APeerThatStopsReadingIsDroppedAfterAOneSecondStall) {
  Fd peer = connect_and_accept(4096);
  std::string block(60000, 'x');
  int sends = 0;
  while (service.state() == State::Connected && sends < 2000) {
    service.Send(block.data(), int(block.size()));
    ++sends;
  }
  ASSERT_EQ(service.state(), State::Deactivating) << "after " << sends << " sends";
  EXPECT_EQ(service.GetOverflowCounter(), 1u);
  EXPECT_NE(err.text().find("SockStream[]: write timeout, sendbuf="), std::string::npos);
  EXPECT_EQ(service.get_write_measure().counter(), unsigned(sends));
  EXPECT_GE(service.get_write_measure().max(), 900000u);  // microseconds

  multiplexer.pass();
  EXPECT_EQ(client_.disconnects, 1);
}

TEST(AcceptorPort, BusyPortIsRetriedEveryFiveSeconds) {
  int port = 0;
  Fd holder = listen_socket(port);
  StreamCapture err(std::cerr);
  Control::AcceptorNet service(port);
  ASSERT_TRUE(service.Activate());
  EXPECT_FALSE(service.listening());
  EXPECT_NE(err.text().find("can't bind to socket: \"Address already in use\"  waiting..."), std::string::npos);

  holder.close();
  platform::advance_clock(4900);
  TestPipe keep_alive("keep-alive");
  keep_alive.Watch();
  keep_alive.MakeReadable();
  multiplexer.pass();
  EXPECT_FALSE(service.listening());
  platform::advance_clock(100);
  multiplexer.pass();
  EXPECT_TRUE(service.listening());
  EXPECT_EQ(service.bound_port(), port);
}

}  // namespace

// The outgoing connection: its retry budget and delays against a closed
// port, and the reconnection after a lost connection. Time is moved with the
// loop's clock; each retry's delay is read from its armed timer.

#include <gtest/gtest.h>

#include <iostream>
#include <optional>

#include "core/mux_clock.h"
#include "platform/clock.h"
#include "tests/core/loop_fixture.h"
#include "tests/transport/loopback.h"
#include "tests/transport/tpkt_stack.h"
#include "transport/connector_net.h"

namespace {

using State = Control::Service::State;
using Control::ConnectorNet;

// Milliseconds until the pending retry, or -1.
int retry_in(const ConnectorNet& c) {
  TimerEvent* e = c.retry_timer().get();
  return e ? int(int32_t(e->get_deadline() - Mux::milliseconds())) : -1;
}

class Connector : public ::testing::Test {
 protected:
  void SetUp() override {
    keep_alive.Watch();
    keep_alive.MakeReadable();
  }
  // Waits for the next failed attempt to arm a retry (a deadline later than
  // the previous one); its delay, or -1.
  int next_retry(ConnectorNet& c) {
    auto armed_later = [&] {
      TimerEvent* e = c.retry_timer().get();
      return e && (!previous_ || int32_t(e->get_deadline() - *previous_) > 0);
    };
    if (!run_until(armed_later)) return -1;
    previous_ = c.retry_timer().get()->get_deadline();
    return retry_in(c);
  }
  std::optional<uint32_t> previous_;
  StreamCapture err{std::cerr};
  StreamCapture out{std::cout};
  TestPipe keep_alive{"keep-alive"};
};

// Rounds a measured delay up to the armed value (the real clock moves a few
// milliseconds while the test runs).
int armed(int measured) {
  for (int d : {1000, 10000, 12000, 15000, 20000})
    if (measured <= d && measured > d - 250) return d;
  return measured;
}

TEST_F(Connector, ClosedPortRetriesSevenTimesQuicklyThenSlowly) {
  int port = 0;
  Fd reserved = listen_socket(port, -1);  // bound, never listening: refused
  ConnectorNet service("127.0.0.1", uint16_t(port));
  RecordingClient client(service);
  ASSERT_TRUE(service.Activate());

  std::vector<int> delays;
  for (int attempt = 0; attempt < 10; ++attempt) {
    int delay = armed(next_retry(service));
    ASSERT_GT(delay, 0) << "attempt " << attempt;
    delays.push_back(delay);
    platform::advance_clock(uint32_t(delay));
  }
  std::vector<int> fast(delays.begin(), delays.begin() + 7);
  EXPECT_EQ(fast, std::vector<int>(7, 1000));
  for (size_t i = 7; i < delays.size(); ++i)
    EXPECT_TRUE(delays[i] == 12000 || delays[i] == 15000 || delays[i] == 20000) << delays[i];
  EXPECT_EQ(service.retry_budget(), 0);
  EXPECT_EQ(client.connects, 0);
  EXPECT_EQ(service.state(), State::Connecting);
  std::string log = err.text();
  bool logged = log.find("fail to connect to 127.0.0.1:" + std::to_string(port)) != std::string::npos ||
                log.find("can't connect to 127.0.0.1:" + std::to_string(port) + " : Connection refused") !=
                    std::string::npos;
  EXPECT_TRUE(logged) << log;
}

TEST_F(Connector, ActivatingAgainRefillsTheBudget) {
  int port = 0;
  Fd reserved = listen_socket(port, -1);
  ConnectorNet service("127.0.0.1:" + std::to_string(port));
  ASSERT_TRUE(service.Activate());
  for (int attempt = 0; attempt < 8; ++attempt) {
    ASSERT_GT(next_retry(service), 0);
    platform::advance_clock(uint32_t(armed(retry_in(service))));
  }
  EXPECT_EQ(service.retry_budget(), 0);
  ASSERT_TRUE(service.Activate());
  previous_.reset();
  EXPECT_EQ(armed(next_retry(service)), 1000);
}

TEST_F(Connector, ConnectsAndReconnectsTenSecondsAfterALostConnection) {
  int port = 0;
  Fd listener = listen_socket(port);
  // The host text's port wins over the port argument.
  ConnectorNet service("127.0.0.1:" + std::to_string(port), 1);
  RecordingClient client(service);
  ASSERT_TRUE(service.Activate());
  ASSERT_TRUE(run_until([&] { return client.connects == 1; }));
  EXPECT_EQ(service.state(), State::Connected);
  EXPECT_NE(out.text().find("connected to 127.0.0.1:" + std::to_string(port) + "."), std::string::npos);

  Fd peer(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
  ASSERT_TRUE(peer.valid());
  service.Send("hi", 2);
  EXPECT_EQ(read_exactly(peer, 6), frame("hi"));
  peer.close();

  ASSERT_TRUE(run_until([&] { return client.disconnects == 1; }));
  EXPECT_EQ(armed(retry_in(service)), 10000);
  EXPECT_FALSE(readable(listener, 0));

  platform::advance_clock(9800);
  multiplexer.pass();
  EXPECT_FALSE(readable(listener, 50));
  platform::advance_clock(200);
  ASSERT_TRUE(run_until([&] { return client.connects == 2; }));
  Fd again(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
  EXPECT_TRUE(again.valid());
}

TEST_F(Connector, DeactivateStopsRetrying) {
  int port = 0;
  Fd reserved = listen_socket(port, -1);
  ConnectorNet service("127.0.0.1", uint16_t(port));
  ASSERT_TRUE(service.Activate());
  ASSERT_GT(next_retry(service), 0);
  service.Deactivate();
  EXPECT_EQ(service.retry_timer().get(), nullptr);
  EXPECT_EQ(service.state(), State::Idle);
}

TEST_F(Connector, AHostThatIsNoAddressIsRetriedSlowly) {
  ConnectorNet service("not-an-address", 20001);
  ASSERT_TRUE(service.Activate());
  EXPECT_NE(err.text().find("can't connect to not-an-address : bad address"), std::string::npos);
  EXPECT_EQ(armed(retry_in(service)), 1000);
}

}  // namespace

// Address parsing and the time-limited connect on loopback: each outcome is
// reported once, and the time limit runs on the loop's clock.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "core/async_connect.h"
#include "core/inet4_addr.h"
#include "core/multiplexer.h"
#include "platform/clock.h"
#include "tests/core/loop_fixture.h"

namespace {

struct AddrCase {
  const char* text;
  bool ok;
  int port;
  const char* shown;
};

class Inet4Assign : public ::testing::TestWithParam<AddrCase> {};

TEST_P(Inet4Assign, ParsesAddressAndPort) {
  const AddrCase& c = GetParam();
  INet4::Addr addr;
  int port = 12345;
  EXPECT_EQ(addr.Assign(c.text, &port), c.ok) << c.text;
  if (!c.ok) return;
  EXPECT_EQ(port, c.port) << c.text;
  EXPECT_EQ(addr.GetString(), c.shown) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, Inet4Assign,
                         ::testing::Values(AddrCase{"10.1.2.3", true, -1, "10.1.2.3:0"},
                                           AddrCase{"10.1.2.3:20001", true, 20001, "10.1.2.3:20001"},
                                           AddrCase{"192.168.0.1:0", true, 0, "192.168.0.1:0"},
                                           AddrCase{"255.255.255.255:65535", true, 65535, "255.255.255.255:65535"},
                                           AddrCase{"not-an-address", false, 0, ""},
                                           AddrCase{"", false, 0, ""},
                                           AddrCase{"10.1.2.3:", false, 0, ""},
                                           AddrCase{"10.1.2.3:abc", false, 0, ""},
                                           AddrCase{"10.1.2.3:65536", false, 0, ""},
                                           AddrCase{"10.1.2.3:-1", false, 0, ""},
                                           AddrCase{"10.1.2.3:80x", false, 0, ""}));

TEST(Inet4Addr, CompareVectorAndResetKeepTheFamily) {
  INet4::Addr a, b;
  ASSERT_TRUE(a.Assign("172.16.5.9:80"));
  ASSERT_TRUE(b.Assign("172.16.5.9:81"));
  EXPECT_FALSE(a.IsEqual(b));
  b.SetPort(80);
  EXPECT_TRUE(a.IsEqual(b));
  EXPECT_EQ(a.GetVector(), (std::vector<uint8_t>{172, 16, 5, 9}));
  a.Assign(0x7F000001ul);
  EXPECT_EQ(a.GetString(), "127.0.0.1:80");
  a.Reset();
  EXPECT_EQ(a.sockaddr().sin_family, AF_INET);
  EXPECT_EQ(a.GetString(), "0.0.0.0:0");
}

struct Outcomes {
  std::vector<ASync::Connect::Status::Type> seen;
  std::vector<bool> socket_valid;
  Fd kept;
  void On(ASync::Connect::Status::Type status, Fd socket) {
    seen.push_back(status);
    socket_valid.push_back(socket.valid());
    kept = std::move(socket);
  }
};

int bound_port(int fd) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  return ntohs(sa.sin_port);
}

Fd loopback_socket(int backlog) {
  Fd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
  if (backlog >= 0) {
    EXPECT_EQ(::listen(s, backlog), 0);
  }
  return s;
}

class AsyncConnect : public ::testing::Test {
 protected:
  void SetUp() override {
    connect.Bind<Outcomes>(&Outcomes::On, &outcomes);
    keep_alive.Watch();
    keep_alive.MakeReadable();
  }
  void run_until_reported(int passes = 100) {
    for (int i = 0; i < passes && outcomes.seen.empty(); ++i) multiplexer.pass();
  }
  TestPipe keep_alive{"keep-alive"};
  Outcomes outcomes;
  ASync::Connect connect;
};

TEST_F(AsyncConnect, ListeningPortConnectsAndHandsOverTheSocket) {
  Fd listener = loopback_socket(4);
  connect.Start("127.0.0.1:" + std::to_string(bound_port(listener)), 5000);
  run_until_reported();
  ASSERT_EQ(outcomes.seen, std::vector<ASync::Connect::Status::Type>{ASync::Connect::Status::connected});
  EXPECT_EQ(outcomes.socket_valid, std::vector<bool>{true});
  EXPECT_EQ(::write(outcomes.kept, "x", 1), 1);
  Fd peer(::accept(listener, nullptr, nullptr));
  char byte = 0;
  EXPECT_EQ(::read(peer, &byte, 1), 1);
  EXPECT_EQ(byte, 'x');
}

TEST_F(AsyncConnect, ClosedPortFailsOnceAndStopAddsNothing) {
  Fd reserved = loopback_socket(-1);
  connect.Start("127.0.0.1:" + std::to_string(bound_port(reserved)), 5000);
  run_until_reported();
  connect.Stop();
  multiplexer.pass();
  EXPECT_EQ(outcomes.seen, std::vector<ASync::Connect::Status::Type>{ASync::Connect::Status::failed});
  EXPECT_EQ(outcomes.socket_valid, std::vector<bool>{false});
}

TEST_F(AsyncConnect, BadAddressFailsAtOnce) {
  connect.Start("nowhere:1", 5000);
  EXPECT_EQ(outcomes.seen, std::vector<ASync::Connect::Status::Type>{ASync::Connect::Status::failed});
}

TEST_F(AsyncConnect, StopWhileConnectingReportsStopped) {
  Fd listener = loopback_socket(4);
  connect.Start("127.0.0.1:" + std::to_string(bound_port(listener)), 5000);
  if (!outcomes.seen.empty()) GTEST_SKIP() << "connected synchronously";
  connect.Stop();
  EXPECT_EQ(outcomes.seen, std::vector<ASync::Connect::Status::Type>{ASync::Connect::Status::stopped});
  EXPECT_EQ(connect.status(), ASync::Connect::Status::stopped);
}

TEST_F(AsyncConnect, TimeLimitFailsAndClosesTheSocket) {
  // A full accept queue makes the kernel drop further SYNs: the connect hangs.
  Fd listener = loopback_socket(0);
  int port = bound_port(listener);
  std::vector<Fd> fillers;
  for (int i = 0; i < 3; ++i) {
    fillers.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(uint16_t(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  }
  size_t open_before = multiplexer.handler_count();
  connect.Start("127.0.0.1:" + std::to_string(port), 3000);
  for (int i = 0; i < 5; ++i) multiplexer.pass();
  if (!outcomes.seen.empty()) GTEST_SKIP() << "this kernel did not leave the connect pending";
  EXPECT_EQ(multiplexer.handler_count(), open_before + 1);

  platform::advance_clock(2900);
  multiplexer.pass();
  EXPECT_TRUE(outcomes.seen.empty());
  platform::advance_clock(100);
  multiplexer.pass();
  EXPECT_EQ(outcomes.seen, std::vector<ASync::Connect::Status::Type>{ASync::Connect::Status::failed});
  EXPECT_EQ(multiplexer.handler_count(), open_before);
}

}  // namespace

// The stream socket layer alone: reads passed up whole, the error texts that
// climb to the group, and activation without a socket.

#include <gtest/gtest.h>

#include <sys/socket.h>

#include "tests/core/loop_fixture.h"
#include "tests/transport/loopback.h"
#include "transport/strm_protocol.h"

namespace {

class StrmGroup : public ProtocolsFamily {
 public:
  StrmGroup() : strm(new StrmProtocol) { add_protocol_tail(strm); }
  void on_message(Packet& p) override { reads.emplace_back(reinterpret_cast<const char*>(p.data()), p.length()); }
  void on_activated(Protocol*) override { ++activations; }
  void on_deactivated(Protocol*, const Protocol_status& status) override {
    statuses.push_back(status->message());
    successes.push_back(status->success());
  }
  StrmProtocol* strm;
  std::vector<std::string> reads;
  std::vector<std::string> statuses;
  std::vector<bool> successes;
  int activations = 0;
};

struct SocketPair {
  SocketPair() {
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    ours = Fd(fds[0]);
    theirs = Fd(fds[1]);
  }
  Fd ours, theirs;
};

TEST(StrmProtocol, ActivatingWithoutASocketReportsFdNotAttached) {
  StrmGroup group;
  group.activate();
  EXPECT_EQ(group.statuses, std::vector<std::string>{"fd not attached"});
  EXPECT_EQ(group.successes, std::vector<bool>{false});
  EXPECT_EQ(group.activations, 0);
}

TEST(StrmProtocol, OneReadIsPassedUpAsOnePacket) {
  SocketPair pair;
  StrmGroup group;
  group.strm->attach(pair.ours);
  group.activate();
  EXPECT_EQ(group.activations, 1);
  std::string block(10000, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = char(i * 7);
  write_all(pair.theirs, block);
  ASSERT_TRUE(run_until([&] { return !group.reads.empty(); }));
  ASSERT_EQ(group.reads.size(), 1u);
  EXPECT_EQ(group.reads[0], block);
  EXPECT_EQ(group.strm->read_measure().counter(), 1u);
}

// A TCP peer's close arrives as the end of the stream (a Unix pair would report a hangup).
struct TcpPair {
  TcpPair() {
    int port = 0;
    Fd listener = listen_socket(port);
    theirs = connect_client(port);
    ours = Fd(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    EXPECT_TRUE(ours.valid());
  }
  Fd ours, theirs;
};

TEST(StrmProtocol, PeerCloseIsAReadErrorAndClosesTheSocket) {
  TcpPair pair;
  StrmGroup group;
  group.strm->attach(pair.ours);
  group.activate();
  pair.theirs.close();
  ASSERT_TRUE(run_until([&] { return !group.statuses.empty(); }));
  ASSERT_EQ(group.statuses.size(), 1u);
  EXPECT_EQ(group.statuses[0].rfind("read error: ", 0), 0u) << group.statuses[0];
  EXPECT_FALSE(group.successes[0]);
  EXPECT_FALSE(group.strm->attached());
}

TEST(StrmProtocol, DeactivateReleasesAndReportsSuccess) {
  SocketPair pair;
  StrmGroup group;
  group.strm->attach(pair.ours);
  pair.ours.close();  // the layer holds its own duplicate
  group.activate();
  group.deactivate();
  EXPECT_EQ(group.statuses, std::vector<std::string>{"success"});
  EXPECT_FALSE(group.strm->attached());
  // Our side is gone: the peer reads the end.
  ASSERT_TRUE(readable(pair.theirs, 5000));
  char byte;
  EXPECT_EQ(::read(pair.theirs, &byte, 1), 0);
}

TEST(StrmProtocol, WriteToAClosedPeerIsCountedAndReported) {
  SocketPair pair;
  StrmGroup group;
  group.strm->attach(pair.ours);
  group.activate();
  pair.theirs.close();
  StreamCapture err(std::cerr);
  Packet p;
  p.reserve_head(0);
  p.put("data", 4);
  group.strm->message(p);
  EXPECT_EQ(group.strm->error_counter(), 1u);
  ASSERT_EQ(group.statuses.size(), 1u);
  EXPECT_EQ(group.statuses[0].rfind("write error: ", 0), 0u) << group.statuses[0];
  EXPECT_NE(err.text().find("SockStream[]: write error, sendbuf="), std::string::npos);
}

TEST(StrmProtocol, TraceLogsReadsAndWrites) {
  SocketPair pair;
  StrmGroup group;
  group.strm->set_trace(true);
  group.strm->set_display_name("peer");
  group.strm->attach(pair.ours);
  group.activate();
  StreamCapture log(std::clog);
  write_all(pair.theirs, "x");
  ASSERT_TRUE(run_until([&] { return !group.reads.empty(); }));
  Packet p;
  p.reserve_head(0);
  p.put("y", 1);
  group.strm->message(p);
  EXPECT_NE(log.text().find("SockStream[peer]: receive success, sendbuf="), std::string::npos);
  EXPECT_NE(log.text().find("SockStream[peer]: write success, sendbuf="), std::string::npos);
  EXPECT_NE(log.text().find(", inq="), std::string::npos);
}

}  // namespace

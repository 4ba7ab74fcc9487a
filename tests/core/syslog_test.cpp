// The syslog client and the stream buffers that feed it, against a real
// Unix socket bound under a temporary root.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <syslog.h>
#include <unistd.h>

#include "core/syslog_manager.h"
#include "core/syslog_streambuf.h"
#include "tests/core/syslog_socket.h"

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

namespace {

const std::string kStamp = "[A-Z][a-z][a-z] [ 0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9] ";

class SysLog : public ::testing::Test {
 protected:
  // A private client, so that tests do not share batches or sockets.
  SysLogManager client;
  SyslogRoot receiver;
};

TEST_F(SysLog, MessagesWaitForSendmsgAndLeaveTogether) {
  receiver.Bind();
  client.openlog("ident", LOG_NDELAY, 0);
  ASSERT_TRUE(client.connected());
  EXPECT_EQ(client.socket_type(), SOCK_DGRAM);
  client.syslog(LOG_DAEMON | LOG_ERR, "hello %d", 5);
  client.syslog(LOG_INFO, "%s", "second");
  EXPECT_TRUE(receiver.Quiet());
  client.sendmsg();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram),
              ElementsAre(MatchesRegex("<27>" + kStamp + "ident: hello 5"), MatchesRegex("<14>" + kStamp + "ident: second")));
  EXPECT_EQ(client.pending(), 0);
  client.sendmsg();
  EXPECT_TRUE(receiver.Quiet()) << "an empty batch sends nothing";
}

TEST_F(SysLog, HeaderFollowsIdentityOptionsAndFacility) {
  receiver.Bind();
  struct Case {
    const char* identity;
    int options;
    int facility;
    int priority;
    std::string expected;
  } cases[] = {
      {"id", LOG_NDELAY, LOG_LOCAL0, LOG_INFO, "<134>" + kStamp + "id: text"},
      {"id", LOG_NDELAY, 0x401, LOG_INFO, "<14>" + kStamp + "id: text"},  // not a facility: kept LOG_USER
      {"id", LOG_NDELAY, LOG_LOCAL0, LOG_MAIL | LOG_WARNING, "<20>" + kStamp + "id: text"},
      {"id", LOG_NDELAY | LOG_PID, 0, LOG_DEBUG, "<15>" + kStamp + "id\\[" + std::to_string(::getpid()) + "\\]: text"},
      {"", LOG_NDELAY, 0, LOG_NOTICE, "<13>" + kStamp + "text"},
  };
  for (const Case& c : cases) {
    SysLogManager m;
    m.openlog(c.identity, c.options, c.facility);
    m.syslog(c.priority, "text");
    m.sendmsg();
    std::string datagram;
    ASSERT_TRUE(receiver.Receive(datagram)) << c.expected;
    EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex(c.expected)));
  }
}

TEST_F(SysLog, MaskDropsLevels) {
  receiver.Bind();
  client.openlog("id", LOG_NDELAY, 0);
  EXPECT_EQ(client.setlogmask(1 << LOG_ERR), 0xff);
  client.syslog(LOG_DEBUG, "dropped");
  client.syslog(LOG_ERR, "kept");
  client.sendmsg();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex(".*id: kept")));
}

TEST_F(SysLog, LongMessagesAreCutTo1023Characters) {
  receiver.Bind();
  client.openlog("id", LOG_NDELAY, 0);
  client.syslog(LOG_ERR, "%s", std::string(5000, 'x').c_str());
  client.sendmsg();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  ASSERT_EQ(datagram.size(), 1024u);
  EXPECT_EQ(datagram.back(), '\0');
  EXPECT_THAT(datagram.substr(0, 40), MatchesRegex("<11>" + kStamp + "id: x+"));
}

TEST_F(SysLog, TheBatchLeavesAtOnceAt256MessagesOrAbove12288Bytes) {
  receiver.Bind();
  client.openlog("id", LOG_NDELAY, 0);
  for (int i = 0; i < 255; ++i) client.syslog(LOG_ERR, "m%d", i);
  EXPECT_TRUE(receiver.Quiet());
  client.syslog(LOG_ERR, "m255");
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  auto messages = SyslogReceiver::Messages(datagram);
  ASSERT_EQ(messages.size(), 256u);
  EXPECT_THAT(messages.back(), MatchesRegex(".*: m255"));
  EXPECT_EQ(client.pending(), 0);

  // Messages of 1023 characters: twelve make exactly 12288 bytes, the
  // thirteenth crosses the mark.
  std::string big(2000, 'y');
  for (int i = 0; i < 12; ++i) client.syslog(LOG_ERR, "%s", big.c_str());
  EXPECT_EQ(client.pending_bytes(), 12288u);
  EXPECT_TRUE(receiver.Quiet());
  client.syslog(LOG_ERR, "%s", big.c_str());
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_EQ(datagram.size(), 13u * 1024u);
  EXPECT_EQ(SyslogReceiver::Messages(datagram).size(), 13u);
}

TEST_F(SysLog, StreamSocketIsFoundThroughEprototype) {
  receiver.Bind(SOCK_STREAM);
  client.openlog("id", LOG_NDELAY, 0);
  ASSERT_TRUE(client.connected());
  EXPECT_EQ(client.socket_type(), SOCK_STREAM);
  int peer = ::accept(receiver.fd(), nullptr, nullptr);
  ASSERT_GE(peer, 0);
  client.syslog(LOG_ERR, "over a stream");
  client.sendmsg();
  std::string received;
  char buffer[256];
  while (received.find('\0') == std::string::npos) {
    ssize_t n = ::read(peer, buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    received.append(buffer, size_t(n));
  }
  ::close(peer);
  EXPECT_THAT(SyslogReceiver::Messages(received), ElementsAre(MatchesRegex("<11>" + kStamp + "id: over a stream")));
  client.closelog();
  EXPECT_EQ(client.socket_type(), SOCK_DGRAM);
  EXPECT_STREQ(client.identity(), "syslog-il");
  EXPECT_FALSE(client.connected());
}

TEST_F(SysLog, ReconnectsWhenTheReceiverComesBack) {
  receiver.Bind();
  client.openlog("id", LOG_NDELAY, 0);
  ASSERT_TRUE(client.connected());
  receiver.Unbind();
  receiver.Bind();  // a restarted syslog daemon: same path, new socket
  client.syslog(LOG_ERR, "after restart");
  client.sendmsg();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex(".*id: after restart")));
}

TEST_F(SysLog, WithoutASocketMessagesAreDroppedUntilOneAppears) {
  client.openlog("id", LOG_NDELAY, 0);
  EXPECT_FALSE(client.connected());
  EXPECT_EQ(client.fd(), -1);
  client.syslog(LOG_ERR, "lost");
  client.sendmsg();
  EXPECT_EQ(client.pending(), 0);
  receiver.Bind();
  client.syslog(LOG_ERR, "found");
  client.sendmsg();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex(".*id: found")));
}

TEST_F(SysLog, ConsoleFallbackOnlyWithLogCons) {
  std::string console = receiver.root() + "/dev/console";
  std::ofstream(console).flush();
  client.openlog("id", LOG_NDELAY, 0);
  client.syslog(LOG_ERR, "quiet");
  client.openlog("id", LOG_NDELAY | LOG_CONS, 0);
  client.syslog(LOG_ERR, "to the console");
  std::ifstream in(console);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_THAT(text, MatchesRegex(kStamp + "id: to the console\r\n"));
}

TEST_F(SysLog, PathTooLongForASocketAddressIsNotUsed) {
  std::string deep = receiver.root() + "/" + std::string(120, 'd');
  std::filesystem::create_directories(deep + "/dev");
  platform::set_root(deep);
  client.openlog("id", LOG_NDELAY, 0);
  EXPECT_FALSE(client.connected());
  client.syslog(LOG_ERR, "nowhere");
  client.sendmsg();
  platform::set_root(receiver.root());
}

// The stream buffers send through the global syslogManager.
class SysLogStream : public ::testing::Test {
 protected:
  void SetUp() override {
    receiver.Bind();
    syslogManager.openlog("kvd-test", LOG_NDELAY, 0);
    ASSERT_TRUE(syslogManager.connected());
  }
  void TearDown() override { syslogManager.closelog(); }
  SyslogRoot receiver;
};

TEST_F(SysLogStream, TwoLinesOfOneFlushAreTwoMessagesInOneDatagram) {
  ManagedSysLogStreamBuf buffer(LOG_DAEMON, LOG_DEBUG);
  std::ostream out(&buffer);
  out << "a\nb\n";
  EXPECT_TRUE(receiver.Quiet());
  out.flush();
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram),
              ElementsAre(MatchesRegex("<31>" + kStamp + "kvd-test: a"), MatchesRegex("<31>" + kStamp + "kvd-test: b")));
  EXPECT_TRUE(receiver.Quiet());
}

TEST_F(SysLogStream, ThreeStreamsGiveNoticeErrorAndDebugPriorities) {
  for (auto [priority, value] : {std::pair{LOG_NOTICE, 29}, {LOG_ERR, 27}, {LOG_DEBUG, 31}}) {
    ManagedSysLogStreamBuf buffer(LOG_DAEMON, priority);
    std::ostream out(&buffer);
    out << "line" << std::endl;
    std::string datagram;
    ASSERT_TRUE(receiver.Receive(datagram));
    EXPECT_THAT(SyslogReceiver::Messages(datagram),
                ElementsAre(MatchesRegex("<" + std::to_string(value) + ">" + kStamp + "kvd-test: line")));
  }
}

TEST_F(SysLogStream, PartialLinesWaitAndTextAfterTheLastNewlineGoesToo) {
  ManagedSysLogStreamBuf buffer(LOG_DAEMON, LOG_ERR);
  std::ostream out(&buffer);
  out << "abc" << std::flush << "def" << std::flush;
  EXPECT_TRUE(receiver.Quiet());
  out << "\nrest" << std::flush;
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex(".*: abcdef"), MatchesRegex(".*: rest")));
}

TEST_F(SysLogStream, AFullAreaIsSentWithoutANewline) {
  ManagedSysLogStreamBuf buffer(LOG_DAEMON, LOG_DEBUG);
  std::ostream out(&buffer);
  out << std::string(20000, 'x');
  std::string datagram;
  ASSERT_TRUE(receiver.Receive(datagram)) << "the 16384-byte area filled";
  EXPECT_EQ(datagram.size(), 1024u) << "cut to 1023 characters and its zero byte";
  EXPECT_THAT(SyslogReceiver::Messages(datagram), ElementsAre(MatchesRegex("<31>" + kStamp + "kvd-test: x+")));
  EXPECT_TRUE(receiver.Quiet());
  out << "\n" << std::flush;
  ASSERT_TRUE(receiver.Receive(datagram));
  EXPECT_EQ(datagram.size(), 1024u) << "the remaining 3617 characters, cut again";
}

// The plain buffer splits lines the same way; its C library call is replaced.
class RecordingBuf : public SysLogStreamBuf {
 public:
  RecordingBuf() : SysLogStreamBuf(LOG_DAEMON, LOG_ERR) {}
  ~RecordingBuf() override { sync(); }
  std::vector<std::string> lines;
  int flushes = 0;

 protected:
  void send(const char* line) override { lines.emplace_back(line); }
  void flushed() override { ++flushes; }
};

TEST(SysLogStreamBuf, PlainBufferHoldsTenTwentyThreeCharacters) {
  RecordingBuf buffer;
  EXPECT_EQ(buffer.priority(), 27);
  EXPECT_EQ(buffer.capacity(), 1023u);
  std::ostream out(&buffer);
  out << std::string(1022, 'a') << std::flush;
  EXPECT_TRUE(buffer.lines.empty()) << "not full yet";
  out << "ab";
  ASSERT_EQ(buffer.lines.size(), 1u);
  EXPECT_EQ(buffer.lines[0], std::string(1023, 'a'));
  out << "\n\nlast\n" << std::flush;
  EXPECT_THAT(buffer.lines, ElementsAre(std::string(1023, 'a'), "b", "", "last"));
  EXPECT_EQ(buffer.flushes, 2);
}

}  // namespace

// Configuration and logging as a user meets them: daemon mode sends the
// standard streams to the syslog socket under the root, the trace switches
// come from server.conf, and bad configuration files never stop the daemon.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <regex.h>
#include <string>
#include <vector>

#include "tests/core/syslog_receiver.h"
#include "tests/e2e/harness.h"

using ::testing::HasSubstr;

namespace {

const std::string kStamp = "[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} ";

// Whole-text POSIX extended match; groups receive the parenthesised parts.
bool Matches(const std::string& text, const std::string& pattern, std::vector<std::string>* groups = nullptr) {
  regex_t re;
  if (::regcomp(&re, ("^(" + pattern + ")$").c_str(), REG_EXTENDED) != 0) return false;
  regmatch_t found[8];
  bool ok = ::regexec(&re, text.c_str(), 8, found, 0) == 0;
  if (ok && groups) {
    groups->clear();
    for (int i = 2; i < 8 && found[i].rm_so >= 0; ++i)
      groups->push_back(text.substr(size_t(found[i].rm_so), size_t(found[i].rm_eo - found[i].rm_so)));
  }
  ::regfree(&re);
  return ok;
}

bool Alive(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// The detached daemon is no child of ours: it is known by its pid file and
// killed if a test leaves it running.
class Detached {
 public:
  explicit Detached(const e2e::Daemon& d) : d_(d) {}
  ~Detached() {
    if (pid_ > 0 && Alive(pid_)) ::kill(pid_, SIGKILL);
  }
  bool WaitPid() {
    return e2e::Daemon::wait_until([&] {
      std::string text = d_.read_file("/var/run/server.pid");
      if (text.empty()) return false;
      pid_ = std::stoi(text);
      return true;
    });
  }
  int pid() const { return pid_; }
  void signal(int sig) const { ::kill(pid_, sig); }
  bool WaitGone() {
    return e2e::Daemon::wait_until([&] { return !Alive(pid_) && !d_.exists("/var/run/server.pid"); });
  }

 private:
  const e2e::Daemon& d_;
  int pid_ = -1;
};

// Collects syslog messages until one matches, within a bound.
bool ReceiveUntil(SyslogReceiver& receiver, std::vector<std::string>& messages, const std::string& wanted) {
  for (const std::string& m : messages)
    if (Matches(m, wanted)) return true;
  std::string datagram;
  while (receiver.Receive(datagram, 20000)) {
    for (const std::string& m : SyslogReceiver::Messages(datagram)) {
      messages.push_back(m);
      if (Matches(m, wanted)) return true;
    }
  }
  return false;
}

std::string Joined(const std::vector<std::string>& messages) {
  std::string all;
  for (const std::string& m : messages) all += m + "\n";
  return all;
}

TEST(DaemonMode, DetachesAndLogsToTheSyslogSocketUnderTheRoot) {
  e2e::Daemon d;
  d.write_file("/etc/kelvad-board.conf", "watchdog absent on\n");
  std::filesystem::create_directories(d.path("/dev"));
  SyslogReceiver receiver;
  receiver.Bind(d.path("/dev/log"));
  Detached daemon(d);

  d.start({"-D", "--port", "0"});
  EXPECT_EQ(d.wait_exit(), 0) << "the starting process returns once the daemon detached";
  ASSERT_TRUE(daemon.WaitPid());
  EXPECT_NE(daemon.pid(), d.pid());

  std::vector<std::string> messages;
  std::string start("<29>" + kStamp + "kvd-([A-Z][0-9]{6}-[0-9]{4}): Starting server \\[([A-Z0-9-]+)\\], port=0");
  ASSERT_TRUE(ReceiveUntil(receiver, messages, start)) << Joined(messages);
  std::vector<std::string> tags;
  for (const std::string& line : messages) {
    if (Matches(line, start, &tags)) {
      ASSERT_EQ(tags.size(), 2u);
      EXPECT_EQ(tags[0], tags[1]) << "identity is kvd- and the tag";
    }
  }
  const std::string ident = "kvd-[A-Z][0-9]{6}-[0-9]{4}: ";
  EXPECT_TRUE(ReceiveUntil(receiver, messages,
                           "<27>" + kStamp + ident + "Mux: fail to open watchdog: No such device"))
      << Joined(messages);

  daemon.signal(SIGTERM);
  EXPECT_TRUE(ReceiveUntil(receiver, messages, "<31>" + kStamp + ident + "Mux: terminating\\.\\.\\."))
      << Joined(messages);
  EXPECT_TRUE(daemon.WaitGone());
  EXPECT_EQ(d.out(), "") << "nothing reached the terminal's streams";
}

TEST(DaemonMode, WithoutASyslogSocketKeepsThePidFileAndTheStatusDump) {
  e2e::Daemon d;
  Detached daemon(d);
  d.start({"-D", "--port", "0"});
  EXPECT_EQ(d.wait_exit(), 0);
  ASSERT_TRUE(daemon.WaitPid());
  ASSERT_TRUE(d.wait_ready());
  daemon.signal(SIGUSR2);
  ASSERT_TRUE(e2e::Daemon::wait_until(
      [&] { return d.read_file("/var/log/server-status").find("+\n\n") != std::string::npos; }));
  EXPECT_THAT(d.read_file("/var/log/server-status"), ::testing::StartsWith("version : "));
  EXPECT_TRUE(Alive(daemon.pid()));
  daemon.signal(SIGTERM);
  EXPECT_TRUE(daemon.WaitGone());
  EXPECT_FALSE(d.exists("/dev/log"));
}

TEST(Configuration, InvalidTraceValueIsReportedWithItsLine) {
  e2e::Daemon d;
  d.write_file("/usr/local/etc/server.conf",
               "# gateway\n"
               "[traces]\n"
               "signalling.hdlc = yes\n"
               "signalling.isdn = maybe\n");
  d.start({"--port", "0"});
  ASSERT_TRUE(d.wait_ready()) << d.err();
  // The configuration is read first, so its diagnostic opens the error stream
  // (which the debug stream shares in the foreground), and it is the only one.
  const std::string line =
      "traces: optional key \"signalling.isdn\" has invalid value=\"maybe\", line 4. Key will be ignored.\n";
  EXPECT_THAT(d.err(), ::testing::StartsWith(line));
  EXPECT_EQ(d.err().find("traces:", 1), std::string::npos) << d.err();
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

struct BadConfig {
  const char* what;
  std::function<void(const e2e::Daemon&)> make;
};

std::string RandomBytes(size_t n) {
  std::mt19937 random(20240131);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = char(random());
  return bytes;
}

const std::string kConf = "/usr/local/etc/server.conf";

TEST(Configuration, BadFilesNeverStopTheDaemon) {
  const BadConfig cases[] = {
      {"random bytes", [](const e2e::Daemon& d) { d.write_file(kConf, RandomBytes(1 << 16)); }},
      {"random bytes in a traces section",
       [](const e2e::Daemon& d) { d.write_file(kConf, "[traces]\n" + RandomBytes(1 << 16)); }},
      {"NUL bytes", [](const e2e::Daemon& d) { d.write_file(kConf, "[traces]\n" + std::string(4096, '\0') + std::string("k=\0v\n", 5)); }},
      {"lines of a megabyte",
       [](const e2e::Daemon& d) {
         d.write_file(kConf, "[" + std::string(1 << 20, 's') + "]\n[traces]\n" + std::string(1 << 20, 'k') +
                                 "\nsignalling.isdn = " + std::string(1 << 20, 'y') + "\n");
       }},
      {"a directory", [](const e2e::Daemon& d) { std::filesystem::create_directories(d.path(kConf)); }},
  };
  for (const BadConfig& c : cases) {
    e2e::Daemon d;
    c.make(d);
    d.start({"--port", "0"});
    ASSERT_TRUE(d.wait_ready()) << c.what;
    EXPECT_EQ(d.board("clock"), "ok advanced=0") << c.what;
    d.signal(SIGTERM);
    EXPECT_EQ(d.wait_exit(), 0) << c.what;
    EXPECT_THAT(d.out(), HasSubstr("Starting server [")) << c.what;
  }
}

}  // namespace

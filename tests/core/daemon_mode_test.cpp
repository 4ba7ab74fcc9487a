// Daemon::Init in a child process: it detaches and redirects the standard
// streams to the syslog socket under the root (mode 0) or to hourly log
// files (mode 1).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/daemon_mode.h"
#include "tests/core/syslog_socket.h"

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

namespace {

// Runs body in a forked child that calls Daemon::Init; the child's own
// process returns once the daemon detached, and its exit status is returned.
int RunDetached(const Daemon::Params& params, void (*body)()) {
  std::cout.flush();
  std::cerr.flush();
  pid_t child = ::fork();
  if (child == 0) {
    Daemon::Init(params);
    body();
    std::exit(0);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::string kStamp = "[A-Z][a-z][a-z] [ 0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9] ";

TEST(DaemonMode, ModeZeroSendsTheStreamsToSyslog) {
  SyslogRoot receiver;
  receiver.Bind();
  Daemon::Params params;
  params.nochdir = 1;
  params.name = "kvd-" + std::string(100, 'n');
  EXPECT_EQ(RunDetached(params,
                        [] {
                          std::cout << "notice" << std::endl;
                          std::cerr << "error" << std::endl;
                          std::clog << "debug" << std::endl;
                          // Raw writes reach syslog as they are.
                          if (::write(1, "raw", 3) != 3) std::cerr << "raw write failed" << std::endl;
                          // Later calls change nothing.
                          Daemon::Params other;
                          other.mode = 1;
                          other.name = "/nonexistent";
                          Daemon::Init(other);
                          std::cout << "still syslog" << std::endl;
                        }),
            0);
  std::string ident = "kvd-" + std::string(75, 'n') + ": ";  // the 80-byte identity buffer
  std::vector<std::string> got;
  std::string datagram;
  while (got.size() < 5 && receiver.Receive(datagram, 10000)) {
    for (const std::string& m : SyslogReceiver::Messages(datagram)) got.push_back(m);
  }
  EXPECT_THAT(got, ElementsAre(MatchesRegex("<29>" + kStamp + ident + "notice"), MatchesRegex("<27>" + kStamp + ident + "error"),
                               MatchesRegex("<31>" + kStamp + ident + "debug"), "raw<missing zero byte>",
                               MatchesRegex("<29>" + kStamp + ident + "still syslog")));
}

TEST(DaemonMode, ModeOneWritesHourlyFiles) {
  char tmpl[] = "/tmp/kvd-daemon-XXXXXX";
  std::string dir = ::mkdtemp(tmpl);
  Daemon::Params params;
  params.mode = 1;
  params.nochdir = 1;
  params.name = dir;
  EXPECT_EQ(RunDetached(params,
                        [] {
                          std::cout << "to the file" << std::endl;
                          std::cerr << "an error" << std::endl;
                        }),
            0);
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  auto expected = MatchesRegex("[0-9]{2}:[0-9]{2}:[0-9]{5,6}: to the file\n[0-9]{2}:[0-9]{2}:[0-9]{5,6}: an error\n");
  while (std::chrono::steady_clock::now() < deadline) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) text = Slurp(entry.path());
    if (::testing::Value(text, expected)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_THAT(text, expected);
  std::filesystem::remove_all(dir);
}

}  // namespace

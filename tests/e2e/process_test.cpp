// The process entry as a user meets it: options, exit codes, signals, the pid
// file, the status dump and the watchdog, on the simulated board.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <regex>
#include <sstream>

#include "tests/e2e/harness.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const char kUsage[] =
    "Usage:\n"
    " kelvad -Dh\n"
    "  -D --daemon                      run as daemon\n"
    "  -p --port                        use this port\n"
    "     --disable-clock               disable clock control\n"
    "     --version                     print version\n"
    "  -h --help                        display this information\n"
    "\n";

const std::regex kTag("[A-Z][0-9]{6}-[0-9]{4}");

TEST(ProcessOptions, HelpPrintsUsageAndExitsZero) {
  for (const char* option : {"-h", "--help"}) {
    e2e::Daemon d;
    EXPECT_EQ(d.run_to_exit({option}), 0) << option;
    EXPECT_EQ(d.out(), kUsage) << option;
    EXPECT_FALSE(d.exists("/var/run/server.pid"));
  }
}

TEST(ProcessOptions, VersionPrintsTagAndExitsTwoBeforeAnythingElse) {
  e2e::Daemon d;
  EXPECT_EQ(d.run_to_exit({"--port", "5000", "--version", "-D"}), 2);
  std::smatch m;
  std::string out = d.out();
  ASSERT_TRUE(std::regex_match(out, m, std::regex("server version: ([A-Z][0-9]{6}-[0-9]{4})\n"))) << out;
  EXPECT_FALSE(d.exists("/var/run/server.pid"));
  EXPECT_FALSE(d.exists("/var/log/board-watchdog"));
}

TEST(ProcessOptions, UnknownOptionsPrintUsageAndExitTwo) {
  for (auto args : {std::vector<std::string>{"-p", "5000"}, {"--bogus"}, {"-x"}}) {
    e2e::Daemon d;
    EXPECT_EQ(d.run_to_exit(args), 2) << args[0];
    EXPECT_EQ(d.out(), kUsage) << args[0];
    EXPECT_FALSE(d.err().empty()) << "getopt reports the option itself";
  }
}

class RunningDaemon : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args) {
    d.start(args);
    ASSERT_TRUE(d.wait_ready()) << d.err();
  }
  std::string Tag() {
    std::smatch m;
    std::string out = d.out();
    return std::regex_search(out, m, kTag) ? m.str() : "";
  }
  e2e::Daemon d;
};

TEST_F(RunningDaemon, PortIsParsedWithStrtol) {
  for (auto [args, port] : {std::pair<std::vector<std::string>, std::string>{{"--port", "abc"}, "0"},
                            {{"--port=5000"}, "5000"},
                            {{"--port", "5001"}, "5001"},
                            {{}, "20001"}}) {
    e2e::Daemon one;
    one.start(args);
    ASSERT_TRUE(one.wait_ready()) << one.err();
    std::string out = one.out();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, kTag)) << out;
    EXPECT_THAT(out, HasSubstr("Starting server [" + m.str() + "], port=" + port + "\n"));
    one.signal(SIGTERM);
    EXPECT_EQ(one.wait_exit(), 0);
  }
}

TEST_F(RunningDaemon, PidFileHoldsThePidAndSigtermRemovesIt) {
  Start({"--port", "0"});
  EXPECT_EQ(d.read_file("/var/run/server.pid"), std::to_string(d.pid()));
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
  EXPECT_FALSE(d.exists("/var/run/server.pid"));
}

TEST_F(RunningDaemon, SigintStopsLikeSigterm) {
  Start({"--port", "0"});
  d.signal(SIGINT);
  EXPECT_EQ(d.wait_exit(), 0);
  EXPECT_FALSE(d.exists("/var/run/server.pid"));
}

TEST_F(RunningDaemon, Sigusr2WritesTheStatusDump) {
  Start({"--port", "0"});
  d.signal(SIGUSR2);
  ASSERT_TRUE(e2e::Daemon::wait_until([&] {
    return d.read_file("/var/log/server-status").find("+\n\n") != std::string::npos;
  }));
  std::string dump = d.read_file("/var/log/server-status");
  EXPECT_THAT(dump, StartsWith("version : " + Tag() + "\n"));
  std::regex measure("(dpc|event|timer) transition measurement \\(min/max/cur/counter\\): "
                     "min=[0-9]+ max=[0-9]+ avg=[0-9]+ counter=[0-9]+\n");
  EXPECT_EQ(std::distance(std::sregex_iterator(dump.begin(), dump.end(), measure), std::sregex_iterator()), 3)
      << dump;
  EXPECT_THAT(dump, HasSubstr("|                  name                  |            events            |"));
  EXPECT_THAT(dump, HasSubstr("|     ChildWaitService::OnChildEvent     |            POLLIN            |"));
}

TEST_F(RunningDaemon, StatusDumpFailureIsReportedAndTheDaemonGoesOn) {
  Start({"--port", "0"});
  std::filesystem::create_directory(d.path("/var/log/server-status"));
  d.signal(SIGUSR2);
  ASSERT_TRUE(e2e::Daemon::wait_until([&] { return d.err().find("dump status error\n") != std::string::npos; }));
  EXPECT_EQ(d.board("clock"), "ok advanced=0");
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

// The journal file lines are TEXT@MS, MS being the board's uptime.
std::vector<std::pair<std::string, long>> Journal(const std::string& text) {
  std::vector<std::pair<std::string, long>> entries;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    auto at = line.find('@');
    entries.emplace_back(line.substr(0, at), std::stol(line.substr(at + 1)));
  }
  return entries;
}

TEST_F(RunningDaemon, WatchdogGetsStartThenAPingEverySecondThenStop) {
  Start({"--port", "0"});
  ASSERT_TRUE(e2e::Daemon::wait_until(
      [&] { return Journal(d.read_file("/var/log/board-watchdog")).size() >= 5; }));
  d.signal(SIGTERM);
  ASSERT_EQ(d.wait_exit(), 0);
  auto journal = Journal(d.read_file("/var/log/board-watchdog"));
  ASSERT_GE(journal.size(), 6u);
  EXPECT_EQ(journal.front().first, "START");
  EXPECT_EQ(journal.back().first, "STOP");
  long previous = -1;
  for (size_t i = 1; i + 1 < journal.size(); ++i) {
    EXPECT_EQ(journal[i].first, "PING") << i;
    if (previous >= 0) {
      long gap = journal[i].second - previous;
      EXPECT_GE(gap, 990) << "pinged too often at entry " << i;
      EXPECT_LE(gap, 5000) << "ping missing before entry " << i;
    }
    previous = journal[i].second;
  }
}

TEST_F(RunningDaemon, MissingWatchdogIsReportedAndTheLoopRunsWithoutIt) {
  // Board commands in the start-up file apply before the daemon opens anything.
  d.write_file("/etc/kelvad-board.conf", "# no watchdog on this board\nwatchdog absent on\n");
  d.start({"--port", "0"});
  ASSERT_TRUE(d.wait_ready()) << d.err();
  EXPECT_THAT(d.err(), HasSubstr("Mux: fail to open watchdog: No such device\n"));
  EXPECT_EQ(d.board("watchdog journal"), "ok count=0");
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

TEST_F(RunningDaemon, BadBoardStartupLinesAreReportedWithTheirLine) {
  d.write_file("/etc/kelvad-board.conf", "\nwatchdog sideways\n");
  Start({"--port", "0"});
  EXPECT_THAT(d.err(), HasSubstr("/etc/kelvad-board.conf:2: error usage: watchdog"));
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

TEST_F(RunningDaemon, BoardClockAdvanceMovesTheDaemonsClock) {
  Start({"--port", "0"});
  EXPECT_EQ(d.board("clock advance 10000"), "ok advanced=10000");
  EXPECT_EQ(d.board("clock advance 5000"), "ok advanced=15000");
  EXPECT_THAT(d.board("clock advance -1"), StartsWith("error "));
  EXPECT_THAT(d.board("no-such-model"), StartsWith("error unknown command"));
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

TEST_F(RunningDaemon, BoardCliPrintsTheReplyAndExitsByIt) {
  Start({"--port", "0"});
  std::string cli = std::string(KELVAD_BOARD_CLI) + " --root " + d.root() + " ";
  EXPECT_EQ(std::system((cli + "clock > /dev/null").c_str()), 0);
  EXPECT_EQ(WEXITSTATUS(std::system((cli + "bogus > /dev/null").c_str())), 1);
  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
  EXPECT_EQ(WEXITSTATUS(std::system((cli + "clock > /dev/null 2>&1").c_str())), 2);
}

}  // namespace

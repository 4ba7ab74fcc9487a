// The simulated TDM switch as a running daemon's board exposes it: set up
// from the board's start-up file and inspected over the control socket.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

#include "tests/e2e/harness.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST(HalBoard, SwitchCommandsReachTheRunningBoard) {
  e2e::Daemon d;
  d.write_file("/etc/kelvad-board.conf", "hal fail read 2\nhal fail sideways\n");
  d.start({"--port", "0"});
  ASSERT_TRUE(d.wait_ready()) << d.err();
  EXPECT_THAT(d.err(), HasSubstr("/etc/kelvad-board.conf:2: error no such request \"sideways\""));
  EXPECT_THAT(d.err(), Not(HasSubstr("kelvad-board.conf:1:")));

  EXPECT_EQ(d.board("hal table"), "ok count=0") << "nothing carries a source or constant yet";
  EXPECT_EQ(d.board("hal channel 5"), "ok channel=5 route=nothing reads=0xFF disables=0");
  EXPECT_THAT(d.board("hal counts"), StartsWith("ok open="));
  EXPECT_THAT(d.board("hal channel 10240"), StartsWith("error no such channel"));
  EXPECT_EQ(d.board("hal reset-counts"), "ok");
  EXPECT_THAT(d.board("hal counts"), HasSubstr(" read=0 other=0 failed=0"));
  EXPECT_THAT(d.board("help"), HasSubstr("; hal channel N"));

  d.signal(SIGTERM);
  EXPECT_EQ(d.wait_exit(), 0);
}

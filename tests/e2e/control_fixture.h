#pragma once
// A running daemon on a free port and a way to talk to it as its controller.

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/controller.h"
#include "tests/e2e/harness.h"

namespace e2e {

inline size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The value-notation text on one line.
inline std::string Line(const std::optional<LGCP::Message>& message) {
  if (!message) return "(nothing)";
  std::string out;
  for (char c : message->asValueNotation()) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

class ControlDaemon : public ::testing::Test {
 protected:
  void SetUp() override {
    port = FreePort();
    ASSERT_GT(port, 0);
    daemon.start({"--port", std::to_string(port)});
    ASSERT_TRUE(daemon.wait_ready()) << daemon.err();
  }
  void TearDown() override {
    daemon.signal(SIGTERM);
    EXPECT_EQ(daemon.wait_exit(), 0);
  }
  // Connects and waits until the daemon has announced the controller; a
  // refusal (the previous controller's end not yet processed) is retried.
  bool Connect(Controller& c) {
    const size_t before = Count(daemon.out(), "controller connect.");
    return Daemon::wait_until([&] {
      if (Count(daemon.out(), "controller connect.") > before) return true;
      if (!c.connected() || c.closed_by_peer(0)) c.connect(port);
      return false;
    });
  }

  Daemon daemon;
  int port = 0;
};

}  // namespace e2e

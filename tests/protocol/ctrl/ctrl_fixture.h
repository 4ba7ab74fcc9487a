#pragma once
// A control server on a real loopback acceptor, driven one loop pass at a
// time, with a test controller and services whose behaviour each test sets.

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "core/multiplexer.h"
#include "protocol/ctrl/ctrl_server.h"
#include "protocol/ctrl/ctrl_service.h"
#include "protocol/ctrl/heartbeat.h"
#include "tests/core/loop_fixture.h"
#include "tests/e2e/controller.h"
#include "transport/acceptor_net.h"

namespace ctrl_test {

// The value-notation text on one line: "{ seq 9, pdu response : success : NULL }".
inline std::string Text(const ASN1::AbstractData& value) {
  std::string out;
  for (char c : value.asValueNotation()) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

inline std::string Text(const std::optional<LGCP::Message>& message) {
  return message ? Text(*message) : std::string("(nothing)");
}

// Takes the commands accept() allows and then runs on_command (a lambda
// that may use the helpers through the public wrappers below).
class ScriptedService : public CtrlSrv::Service {
 public:
  std::function<bool(const LGCP::Command&)> accept = [](const LGCP::Command&) { return false; };
  std::function<void(ScriptedService&)> on_command;

  bool OnCommand(const LGCP::Command& command) override {
    offered.push_back(Text(command));
    if (!accept(command)) return false;
    if (on_command) on_command(*this);
    return true;
  }
  void OnSignal(const LGCP::Signal& signal) override { signals_seen.push_back(Text(signal)); }
  void OnConnect() override { ++connects; }
  void OnDisconnect() override { ++disconnects; }

  using CtrlSrv::Service::CheckServerConnection;
  using CtrlSrv::Service::delayedSuccess;
  using CtrlSrv::Service::delayResponse;
  using CtrlSrv::Service::Error;
  using CtrlSrv::Service::GetSlot;
  using CtrlSrv::Service::IsSlotPresent;
  using CtrlSrv::Service::SendSignal;
  using CtrlSrv::Service::Success;

  std::vector<std::string> offered;
  std::vector<std::string> signals_seen;
  int connects = 0;
  int disconnects = 0;
};

inline bool RunUntil(const std::function<bool()>& done, int max_passes = 200) {
  for (int i = 0; i < max_passes && !done(); ++i) multiplexer.pass();
  return done();
}

class CtrlServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Bind(&heartbeat);
    server.Bind(&first);
    server.Bind(&second);
    acceptor = new Control::AcceptorNetCheckConnection(0);
    ASSERT_TRUE(server.Activate(acceptor));
    port = acceptor->bound_port();
    ConnectController();
  }
  void TearDown() override { server.Deactivate(); }

  void ConnectController() {
    ASSERT_TRUE(controller.connect(port));
    ASSERT_TRUE(RunUntil([&] {
      bool connected = false;
      return server.CheckServerConnection(connected) && connected;
    }));
  }

  std::optional<LGCP::Message> Ask(const LGCP::Message& message) {
    EXPECT_TRUE(controller.send(message));
    return controller.receive();
  }

  StreamCapture out{std::cout};
  StreamCapture err{std::cerr};
  CtrlSrv::Server server;
  HeartBeatCtl heartbeat;
  ScriptedService first;
  ScriptedService second;
  Control::AcceptorNetCheckConnection* acceptor = nullptr;
  int port = 0;
  e2e::Controller controller{[] { multiplexer.pass(); }};
};

}  // namespace ctrl_test

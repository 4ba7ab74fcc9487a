#include "protocol/ctrl/heartbeat.h"

#include <iostream>

#include "protocol/ctrl/ctrl_server.h"

HeartBeatCtl* HeartBeatCtl::instance() {
  static HeartBeatCtl heartbeat;
  return &heartbeat;
}

bool HeartBeatCtl::OnCommand(const LGCP::Command& command) {
  watchdog_.set(timeout_ms, &HeartBeatCtl::OnTimeout, this);
  if (!command.is_ping()) return false;
  Success();
  return true;
}

void HeartBeatCtl::OnDisconnect() { watchdog_.reset(); }

void HeartBeatCtl::OnTimeout() {
  std::cout << "heartbeat timeout!!!" << std::endl;
  if (server()) server()->OnHeartbeatTimeout();
}

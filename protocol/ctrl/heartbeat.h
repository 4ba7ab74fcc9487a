#pragma once
// The controller's watchdog: every command restarts it, ping is answered
// here, and 120 s without a command drop the controller. A controller that
// has not sent its first command is never timed out.

#include "core/timer.h"
#include "protocol/ctrl/ctrl_service.h"

class HeartBeatCtl : public CtrlSrv::Service {
 public:
  static constexpr unsigned timeout_ms = 120000;

  static HeartBeatCtl* instance();

  bool OnCommand(const LGCP::Command& command) override;
  void OnDisconnect() override;

  bool armed() const { return watchdog_.get() != nullptr; }

 private:
  void OnTimeout();

  Timer watchdog_;
};

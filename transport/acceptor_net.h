#pragma once
// Listens on a TCP port and serves one peer at a time; further peers are
// refused while one is connected. The check variant, on such a refusal,
// probes the current peer aggressively and drops it when it is dead.

#include "core/event.h"
#include "core/fd.h"
#include "core/timer.h"
#include "transport/control_service.h"

namespace Control {

class AcceptorNet : public ServiceNet {
 public:
  AcceptorNet() : AcceptorNet(0) {}
  explicit AcceptorNet(int port, bool verbose = true);
  ~AcceptorNet() override;

  bool ImplActivate() override;
  void ImplDeactivate() override;
  void ImplOnDisconnect() override {}
  virtual void ImplRefuseConnection() {}
  virtual void ImplConnected(Fd) {}

  void BindSocket();
  void OnSocketEvent(int fd, short revents);
  void OnTimeout(Timer*);

  int port() const { return port_; }
  // The port actually bound (differs from port() when that is 0).
  int bound_port() const;
  bool listening() const { return listen_event_.is_attached(); }

 private:
  int port_;
  Fd listen_socket_;
  Timer retry_timer_;
  Event listen_event_;
};

class AcceptorNetCheckConnection : public AcceptorNet {
 public:
  static constexpr unsigned check_period_ms = 1000;

  AcceptorNetCheckConnection() : AcceptorNetCheckConnection(0) {}
  explicit AcceptorNetCheckConnection(int port, bool verbose = true) : AcceptorNet(port, verbose) {}

  bool ImplActivate() override;
  void ImplDeactivate() override;
  void ImplConnected(Fd socket) override;
  void ImplRefuseConnection() override;
  void ImplOnDisconnect() override;

  void SetupKeepAlive(bool fast);
  void CheckConnection();
  void OnCheckConnectionTimeout(Timer*);

  int check_mode() const { return check_mode_; }
  int countdown() const { return countdown_; }

 private:
  Timer check_timer_;
  Fd connected_;
  int check_mode_ = 0;
  int countdown_ = 0;
};

}  // namespace Control

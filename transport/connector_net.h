#pragma once
// Connects out to host:port and reconnects for ever: the first seven retries
// of a run come after one second, later ones after 12, 15 or 20 seconds
// depending on how the attempt failed; a lost connection is retried after 10 s.

#include <string>

#include "core/event.h"
#include "core/fd.h"
#include "core/timer.h"
#include "transport/control_service.h"

namespace Control {

class ConnectorNet : public ServiceNet {
 public:
  static constexpr int fast_retries = 7;
  static constexpr unsigned fast_retry_ms = 1000;
  static constexpr unsigned refused_at_once_retry_ms = 20000;
  static constexpr unsigned poll_error_retry_ms = 15000;
  static constexpr unsigned socket_error_retry_ms = 12000;
  static constexpr unsigned reconnect_ms = 10000;

  ConnectorNet() : ConnectorNet(std::string()) {}
  explicit ConnectorNet(const std::string& host, unsigned short port = 0, bool verbose = true);
  ~ConnectorNet() override;

  bool ImplActivate() override;
  void ImplDeactivate() override;
  void ImplOnDisconnect() override;

  void TryConnect();
  void OnSocketEvent(int fd, short revents);
  void OnTimeout(Timer*);

  const INet4::Addr& address() const { return address_; }
  int retry_budget() const { return budget_; }
  // The pending retry, for the status dump and tests.
  const Timer& retry_timer() const { return retry_timer_; }

 private:
  void Retry(unsigned long_delay_ms);

  unsigned short port_;
  std::string host_;
  Fd socket_;
  Timer retry_timer_;
  Event connect_event_;
  int budget_ = 0;
  INet4::Addr address_;
};

}  // namespace Control

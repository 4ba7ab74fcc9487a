#pragma once
// The base of every control service. The server offers each command to its
// services in binding order; a service that takes one answers it through the
// helpers below, at once or later (delayResponse, delayedSuccess).

#include "protocol/lgcp/LGCP.h"

namespace CtrlSrv {

class Server;

class Service {
 public:
  virtual ~Service() = default;
  virtual void OnConnect() {}
  virtual void OnDisconnect() {}
  // True when the service takes the command (and answers it).
  virtual bool OnCommand(const LGCP::Command& command) = 0;
  // A signal another service is about to send.
  virtual void OnSignal(const LGCP::Signal&) {}

  Server* server() const { return server_; }

 protected:
  // Each helper needs a bound service; unbound they log and do nothing.
  void Success();
  void Error(LGCP::ErrorCause::Value cause);
  // Offered to every other bound service first, then sent.
  void SendSignal(const LGCP::Signal& signal);
  void SendSignal(int slot, const LGCP::Signal& signal);
  int GetSlot() const;
  bool IsSlotPresent() const;
  int delayResponse();
  void delayedSuccess(int slot, int seq);
  bool CheckServerConnection(bool& connected) const;

 private:
  friend class Server;
  bool bound() const;
  void OfferToOthers(const LGCP::Signal& signal);

  Server* server_ = nullptr;
};

}  // namespace CtrlSrv

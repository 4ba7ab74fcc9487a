#pragma once
// The gateway's end of the control protocol: owns the one controller
// connection, decodes each message, checks its envelope, offers each command
// to the services in binding order and makes sure it gets exactly one
// response; encodes and sends the responses and signals.

#include <cstdint>
#include <ostream>
#include <vector>

#include "protocol/lgcp/LGCP.h"
#include "transport/control_service.h"

namespace CtrlSrv {

class Service;

class Server : public Control::Notify {
 public:
  // What the command being handled has been answered with so far.
  enum ResponseState { nothingSent = 0, successSent = 1, errorSent = 2 };

  Server() = default;
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  ~Server() override;

  // Start-up only: appends the service, whose commands come in this order.
  void Bind(Service* service);
  // Takes ownership of the connection and activates it.
  bool Activate(Control::Service* connection);
  void Deactivate();

  void Success();
  void Error(LGCP::ErrorCause::Value cause);
  // The command will be answered later; returns its seq.
  int delayResponse();
  // Carries both values whatever was sent before.
  void delayedSuccess(int slot, int seq);
  void SendSignal(const LGCP::Signal& signal);
  void SendSignal(int slot, const LGCP::Signal& signal);
  bool IsSlotPresent() const { return slot_ != -1; }
  int GetSlot() const { return slot_; }
  bool CheckServerConnection(bool& connected) const;
  // Drops the controller.
  void OnHeartbeatTimeout();

  void PutHeader(std::ostream& out) const;

  void OnConnect() override;
  void OnDisconnect() override;
  void OnMessage(const char* data, int length) override;

  const std::vector<Service*>& services() const { return services_; }
  Control::Service* connection() const { return connection_; }
  int response_state() const { return response_state_; }

 private:
  void Handle(const LGCP::Message& message, bool slot_out_of_range);
  void SendResponse(bool with_seq, int seq, int slot, const LGCP::Response& response);
  void Send(const LGCP::Message& message);

  std::vector<Service*> services_;
  Control::Service* connection_ = nullptr;
  bool seq_present_ = false;
  int32_t seq_ = 0;
  int32_t slot_ = -1;
  int32_t response_state_ = nothingSent;
};

}  // namespace CtrlSrv

extern CtrlSrv::Server ctrlServer;

#include "protocol/ctrl/ctrl_service.h"

#include <iostream>

#include "protocol/ctrl/ctrl_server.h"

namespace CtrlSrv {

bool Service::bound() const {
  if (server_) return true;
  std::cerr << "CtrlSrv::Service error! service not connected to server." << std::endl;
  return false;
}

void Service::Success() {
  if (bound()) server_->Success();
}

void Service::Error(LGCP::ErrorCause::Value cause) {
  if (bound()) server_->Error(cause);
}

void Service::OfferToOthers(const LGCP::Signal& signal) {
  for (Service* other : server_->services())
    if (other != this) other->OnSignal(signal);
}

void Service::SendSignal(const LGCP::Signal& signal) {
  if (!bound()) return;
  OfferToOthers(signal);
  server_->SendSignal(signal);
}

void Service::SendSignal(int slot, const LGCP::Signal& signal) {
  if (!bound()) return;
  OfferToOthers(signal);
  server_->SendSignal(slot, signal);
}

int Service::GetSlot() const { return bound() ? server_->GetSlot() : -1; }

bool Service::IsSlotPresent() const { return bound() && server_->IsSlotPresent(); }

int Service::delayResponse() { return bound() ? server_->delayResponse() : -1; }

void Service::delayedSuccess(int slot, int seq) {
  if (bound()) server_->delayedSuccess(slot, seq);
}

bool Service::CheckServerConnection(bool& connected) const {
  return server_ && server_->CheckServerConnection(connected);
}

}  // namespace CtrlSrv

#include "protocol/ctrl/ctrl_server.h"

#include <iostream>
#include <iterator>

#include "asn1/coder_env.h"
#include "core/ext.h"
#include "protocol/ctrl/ctrl_service.h"
#include "protocol/ctrl/envelope.h"

CtrlSrv::Server ctrlServer;

namespace CtrlSrv {

namespace {

constexpr int encodingReserve = 200;
// A TPKT frame carries at most 65535 octets, its 4-octet header included.
constexpr size_t maxPayload = 65535 - 4;

}  // namespace

Server::~Server() { Deactivate(); }

void Server::Bind(Service* service) {
  services_.push_back(service);
  service->server_ = this;
}

bool Server::Activate(Control::Service* connection) {
  Deactivate();
  connection_ = connection;
  connection_->socket_layer().set_display_name("server");
  connection_->Bind(this);
  return connection_->Activate();
}

void Server::Deactivate() {
  if (!connection_) return;
  connection_->Deactivate();
  OnDisconnect();
  connection_->UnBind();
  delete connection_;
  connection_ = nullptr;
}

void Server::Success() {
  if (response_state_ != nothingSent) return;
  LGCP::Response response;
  response.get_success();
  SendResponse(seq_present_, seq_, slot_, response);
  response_state_ = successSent;
}

void Server::Error(LGCP::ErrorCause::Value cause) {
  if (response_state_ == errorSent) return;
  LGCP::Response response;
  response.get_error() = cause;
  SendResponse(seq_present_, seq_, slot_, response);
  response_state_ = errorSent;
}

int Server::delayResponse() {
  response_state_ = successSent;
  return seq_;
}

void Server::delayedSuccess(int slot, int seq) {
  LGCP::Response response;
  response.get_success();
  SendResponse(true, seq, slot, response);
}

void Server::SendSignal(const LGCP::Signal& signal) { SendSignal(slot_, signal); }

void Server::SendSignal(int slot, const LGCP::Signal& signal) {
  LGCP::Message message;
  if (slot != -1) message.set_slot(LGCP::Message::slot::value_type(unsigned(slot)));
  message.get_pdu().set_signal(signal);
  Send(message);
}

bool Server::CheckServerConnection(bool& connected) const {
  if (!connection_) return false;
  connected = connection_->state() == Control::Service::State::Connected;
  return true;
}

void Server::OnHeartbeatTimeout() {
  if (connection_) connection_->Disconnect();
}

void Server::PutHeader(std::ostream& out) const {
  if (!connection_)
    out << "ctrl [null]: ";
  else if (connection_->state() != Control::Service::State::Connected)
    out << "ctrl [not connected]: ";
  else
    out << "ctrl [" << connection_->service_name() << "]: ";
}

void Server::OnConnect() {
  std::cout << ext::header(this) << "controller connect." << std::endl;
  for (Service* service : services_) service->OnConnect();
}

void Server::OnDisconnect() {
  for (Service* service : services_) service->OnDisconnect();
}

void Server::OnMessage(const char* data, int length) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  const size_t size = length > 0 ? size_t(length) : 0;
  const ASN1::CoderEnv env(ASN1::CoderEnv::per_Aligned);
  LGCP::Message message;
  if (env.decode(bytes, bytes + size, message, true)) {
    Handle(message, false);
  } else {
    // The decoder refuses a slot beyond its range; such a message is still
    // answered, with invalidSlot, when the rest of it decodes.
    const std::vector<uint8_t> cleared = WithOutOfRangeSlotCleared(bytes, size);
    LGCP::Message retry;
    if (!cleared.empty() && env.decode(cleared.begin(), cleared.end(), retry, true)) {
      Handle(retry, true);
    } else {
      std::cerr << ext::header(this) << "receive fail: decode error!" << std::endl
                << " msg: " << ext::OutBufInHex(bytes, size) << std::endl;
    }
  }
  slot_ = -1;
}

void Server::Handle(const LGCP::Message& message, bool slot_out_of_range) {
  response_state_ = nothingSent;
  seq_present_ = message.has_seq();
  if (seq_present_) seq_ = message.get_seq().getValue();

  const LGCP::PDU& pdu = message.get_pdu();
  if (!pdu.is_command()) {
    Error(LGCP::ErrorCause::unexpectedMsgType);
    return;
  }
  if (message.has_slot() && (slot_out_of_range || message.get_slot().getValue() > 1023u)) {
    slot_ = -1;
    Error(LGCP::ErrorCause::invalidSlot);
    return;
  }
  slot_ = message.has_slot() ? int32_t(message.get_slot().getValue()) : -1;

  const LGCP::Command& command = pdu.get_command();
  for (Service* service : services_) {
    if (!service->OnCommand(command)) continue;
    if (response_state_ == nothingSent) {
      std::cerr << ext::header(this) << "software error: server do NOT send ack!!!" << std::endl
                << "Please contact technical support." << std::endl;
      Error(LGCP::ErrorCause::internal);
    }
    return;
  }
  Error(LGCP::ErrorCause::unexpectedMsgType);
}

void Server::SendResponse(bool with_seq, int seq, int slot, const LGCP::Response& response) {
  LGCP::Message message;
  if (with_seq) message.set_seq(ASN1::INTEGER(seq));
  if (slot != -1) message.set_slot(LGCP::Message::slot::value_type(unsigned(slot)));
  message.get_pdu().set_response(response);
  Send(message);
}

void Server::Send(const LGCP::Message& message) {
  std::vector<uint8_t> bytes;
  bytes.reserve(encodingReserve);
  // The codec writes a slot beyond its range without complaint; the
  // controller would read another slot.
  const bool slot_in_range = !message.has_slot() || message.get_slot().getValue() <= 1023u;
  if (!slot_in_range || !ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).encode(message, std::back_inserter(bytes))) {
    std::cerr << ext::header(this) << "send fail: encode error!" << message << std::endl;
    return;
  }
  if (!connection_) {
    std::cerr << ext::header(this) << "send fail: Service not attached!" << std::endl;
    return;
  }
  // One frame cannot carry more; handing it down would abort the process.
  if (bytes.size() > maxPayload) {
    std::cerr << ext::header(this) << "send fail: message of " << bytes.size()
              << " bytes does not fit one frame!" << std::endl;
    return;
  }
  connection_->Send(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

}  // namespace CtrlSrv

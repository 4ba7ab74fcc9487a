#include "transport/control_service.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <iostream>

#include "core/profile.h"
#include "transport/tpkt_protocol.h"

namespace Control {

const char* GetTextNotation(Service::State::Type state) {
  switch (state) {
    case Service::State::Idle: return "Idle";
    case Service::State::Connecting: return "Connecting";
    case Service::State::Deactivating: return "Deactivating";
    case Service::State::Connected: return "Connected";
  }
  return "Unknown";
}

Service::Service(bool verbose) : verbose_(verbose), socket_(new StrmProtocol) {
  add_protocol_tail(socket_);
  add_protocol_tail(new Tpkt_protocol);
  deactivate_dpc_.Bind(this, &Service::OnDeactivateDPC);
}

Service::~Service() = default;

bool Service::Activate() {
  Deactivate();
  state_ = State::Connecting;
  bool ok = ImplActivate();
  if (!ok) state_ = State::Idle;
  return ok;
}

void Service::Deactivate() {
  ImplDeactivate();
  state_ = State::Idle;
}

void Service::Disconnect() {
  // Only a live connection can be lost; elsewhere this would report a
  // disconnection that never had a connection before it.
  if (state_ != State::Connected) return;
  deactivate();
}

void Service::Send(const char* data, int length) {
  if (state_ != State::Connected) {
    if (state_ != State::Deactivating && verbose_)
      std::cerr << "Control::Service::Send() ignore Send request in " << GetTextNotation(state_) << " state."
                << std::endl;
    return;
  }
  static Profile::Point build("Control::Service::Send [1]");
  static Profile::Point hand_down("Control::Service::Send [2]");
  build.begin();
  Packet packet;
  prepare_head(packet);
  packet.passert(length >= 0 && size_t(length) <= packet.tailroom(), "len<=_tailroom()");
  packet.put(data, size_t(length));
  packet.check("put");
  build.end();
  hand_down.begin();
  top()->message(packet);
  hand_down.end();
}

void Service::Release() { socket_->release(); }

void Service::on_message(Packet& packet) {
  if (state_ == State::Deactivating || !client_) return;
  client_->OnMessage(reinterpret_cast<const char*>(packet.data()), int(packet.length()));
}

void Service::on_activated(Protocol*) {}

void Service::on_deactivated(Protocol*, const Protocol_status&) {
  if (verbose_) std::cerr << "control connection " << name_ << " closed." << std::endl;
  state_ = State::Deactivating;
  deactivate_dpc_.Activate();
}

void Service::OnDeactivateDPC() {
  deactivate_dpc_.Deactivate();
  state_ = State::Connecting;
  ImplOnDisconnect();
  if (client_) client_->OnDisconnect();
}

void ServiceNet::Connected(Fd socket, const INet4::Addr& addr) {
  if (state() == State::Deactivating) return;
  int on = 1;
  if (::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0 && verbose())
    std::cerr << "fail set keepalive to control socket." << std::endl;
  if (::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 && verbose())
    std::cerr << "fail to turn off Nagle algorithm." << std::endl;
  peer_ = addr;
  set_name(addr.GetString());
  set_state(State::Connected);
  socket_layer().attach(socket);
  activate();
  if (client()) client()->OnConnect();
}

}  // namespace Control

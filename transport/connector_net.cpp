#include "transport/connector_net.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace Control {

ConnectorNet::ConnectorNet(const std::string& host, unsigned short port, bool verbose)
    : ServiceNet(verbose), port_(port), host_(host) {}

ConnectorNet::~ConnectorNet() { ImplDeactivate(); }

bool ConnectorNet::ImplActivate() {
  budget_ = fast_retries;
  TryConnect();
  return true;
}

void ConnectorNet::Retry(unsigned long_delay_ms) {
  unsigned delay = long_delay_ms;
  if (budget_ > 0) {
    --budget_;
    delay = fast_retry_ms;
  }
  retry_timer_.set(delay, &ConnectorNet::OnTimeout, this);
}

void ConnectorNet::TryConnect() {
  connect_event_.Release();
  socket_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (!socket_.valid()) {
    std::cerr << "can't create socket:" << std::strerror(errno) << std::endl;
    Deactivate();
    return;
  }
  if (!socket_.NonBlock()) {
    std::cerr << "can't set socket to non block mode: " << std::strerror(errno) << std::endl;
    Deactivate();
    return;
  }
  address_.Reset();
  address_.SetPort(port_);
  if (!address_.Assign(host_)) {
    // Not an address at all: retrying cannot help faster than the long delay.
    std::cerr << "can't connect to " << host_ << " : bad address" << std::endl;
    socket_.close();
    Retry(refused_at_once_retry_ms);
    return;
  }
  const sockaddr_in& sa = address_.sockaddr();
  if (::connect(socket_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
    std::clog << "already connected to " << address_ << std::endl;
    Fd connected = std::move(socket_);
    Connected(std::move(connected), address_);
    return;
  }
  if (errno == EINPROGRESS) {
    connect_event_.Bind<ConnectorNet>("ConnectorNet::OnSocketEvent", &ConnectorNet::OnSocketEvent, this);
    connect_event_.Schedule(socket_, POLLOUT);
    return;
  }
  std::cerr << "can't connect to " << address_ << " : " << std::strerror(errno) << std::endl;
  socket_.close();
  Retry(refused_at_once_retry_ms);
}

void ConnectorNet::OnSocketEvent(int, short revents) {
  if (revents & (POLLERR | POLLHUP)) {
    std::cerr << "fail to connect to " << address_ << std::endl;
    connect_event_.Release();
    socket_.close();
    Retry(poll_error_retry_ms);
    return;
  }
  if (!(revents & POLLOUT)) return;
  connect_event_.Release();
  int error = 0;
  socklen_t len = sizeof error;
  if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &len) != 0) {
    std::cerr << "getsockopt(SOL_SOCKET,SO_ERROR) fail: " << std::strerror(errno) << std::endl;
    Deactivate();
    return;
  }
  if (error != 0) {
    std::cerr << "fail to connect to " << address_ << std::endl;
    socket_.close();
    Retry(socket_error_retry_ms);
    return;
  }
  std::cout << "connected to " << address_ << "." << std::endl;
  Fd connected = std::move(socket_);
  Connected(std::move(connected), address_);
}

void ConnectorNet::OnTimeout(Timer*) { TryConnect(); }

void ConnectorNet::ImplOnDisconnect() { retry_timer_.set(reconnect_ms, &ConnectorNet::OnTimeout, this); }

void ConnectorNet::ImplDeactivate() {
  Release();
  socket_.close();
  retry_timer_.reset();
  connect_event_.Release();
}

}  // namespace Control

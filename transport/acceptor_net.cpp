#include "transport/acceptor_net.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iostream>

namespace Control {

namespace {
constexpr unsigned kBindRetryMs = 5000;
}

AcceptorNet::AcceptorNet(int port, bool verbose) : ServiceNet(verbose), port_(port) {}

AcceptorNet::~AcceptorNet() { ImplDeactivate(); }

bool AcceptorNet::ImplActivate() {
  listen_socket_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (!listen_socket_.valid()) {
    if (verbose()) std::cerr << "can't create socket:" << std::strerror(errno) << std::endl;
    return false;
  }
  int on = 1;
  ::setsockopt(listen_socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  BindSocket();
  return true;
}

void AcceptorNet::BindSocket() {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_ANY);
  sa.sin_port = htons(uint16_t(port_));
  if (::bind(listen_socket_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    if (verbose())
      std::cerr << "can't bind to socket: \"" << std::strerror(errno) << "\" " << " waiting..." << std::endl;
    retry_timer_.set(kBindRetryMs, &AcceptorNet::OnTimeout, this);
    return;
  }
  if (::listen(listen_socket_, 1) != 0) {
    if (verbose()) std::cerr << "can't listen socket: " << std::strerror(errno) << std::endl;
    Deactivate();
    return;
  }
  if (!listen_socket_.NonBlock()) {
    if (verbose()) std::cerr << "can't set socket to non block mode: " << std::strerror(errno) << std::endl;
    Deactivate();
    return;
  }
  listen_event_.Bind<AcceptorNet>("AcceptorNet::OnSocketEvent", &AcceptorNet::OnSocketEvent, this);
  listen_event_.Schedule(listen_socket_, POLLIN);
}

int AcceptorNet::bound_port() const {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (!listen_socket_.valid() || ::getsockname(listen_socket_, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    return -1;
  return ntohs(sa.sin_port);
}

void AcceptorNet::OnTimeout(Timer*) { BindSocket(); }

void AcceptorNet::OnSocketEvent(int, short revents) {
  if (!(revents & POLLIN)) return;
  for (;;) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    Fd socket(::accept4(listen_socket_, reinterpret_cast<sockaddr*>(&sa), &len, SOCK_CLOEXEC));
    if (!socket.valid()) return;
    INet4::Addr addr(sa);
    if (state() == State::Connected) {
      if (verbose()) std::cerr << "refuse connection from " << addr << std::endl;
      ImplRefuseConnection();
      continue;  // the refused socket closes here
    }
    if (!socket.NonBlock()) {
      if (verbose()) std::cerr << "can't set socket to non block mode: " << std::strerror(errno) << std::endl;
      continue;
    }
    if (verbose()) std::cout << "new connection from " << addr << std::endl;
    Connected(socket, addr);
    ImplConnected(socket);
  }
}

void AcceptorNet::ImplDeactivate() {
  retry_timer_.reset();
  listen_event_.Release();
  listen_socket_.close();
  // A peer served when the service stops must not go on feeding a stopped
  // service; nothing is reported for it, as for any deactivation.
  Release();
}

bool AcceptorNetCheckConnection::ImplActivate() {
  if (!AcceptorNet::ImplActivate()) return false;
  CheckConnection();
  return true;
}

void AcceptorNetCheckConnection::ImplDeactivate() {
  check_timer_.reset();
  connected_.close();
  check_mode_ = 0;
  AcceptorNet::ImplDeactivate();
}

void AcceptorNetCheckConnection::ImplConnected(Fd socket) { connected_ = std::move(socket); }

// The kept duplicate would otherwise hold the lost connection open, and its
// peer would never see it closed.
void AcceptorNetCheckConnection::ImplOnDisconnect() {
  connected_.close();
  check_mode_ = 0;
}

void AcceptorNetCheckConnection::ImplRefuseConnection() {
  if (check_mode_ != 0) return;
  check_mode_ = 1;
  countdown_ = 2;
  SetupKeepAlive(true);
  if (verbose()) std::cerr << "CheckConnectionState CheckConnection" << std::endl;
}

void AcceptorNetCheckConnection::SetupKeepAlive(bool fast) {
  if (!connected_.valid()) return;
  int on = 1;
  int idle = fast ? 1 : 7200;
  int interval = fast ? 1 : 75;
  int count = fast ? 3 : 9;
  ::setsockopt(connected_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(connected_, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  ::setsockopt(connected_, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  ::setsockopt(connected_, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

void AcceptorNetCheckConnection::OnCheckConnectionTimeout(Timer*) { CheckConnection(); }

void AcceptorNetCheckConnection::CheckConnection() {
  if (state() == State::Connected && connected_.valid()) {
    bool close = false;
    tcp_info info{};
    socklen_t len = sizeof info;
    // An answer shorter than the kernel's record (an emulator passing it as
    // a plain int) does not tell the states: treat it as unavailable.
    constexpr socklen_t needed = offsetof(tcp_info, tcpi_rto) + sizeof(info.tcpi_rto);
    if (::getsockopt(connected_, IPPROTO_TCP, TCP_INFO, &info, &len) == 0 && len >= needed) {
      if (info.tcpi_state != TCP_ESTABLISHED) {
        if (verbose()) std::cerr << "connection from " << peer_name() << " closed: tcp socket change state." << std::endl;
        close = true;
      }
      if (check_mode_ == 1) {
        if (info.tcpi_ca_state != TCP_CA_Open) {
          if (--countdown_ <= 0) {
            if (verbose())
              std::cerr << "connection from " << peer_name() << " closed: tcp socket change ca_state." << std::endl;
            close = true;
          }
        } else {
          check_mode_ = 0;
          SetupKeepAlive(false);
          if (verbose()) std::cerr << "CheckConnectionState Idle" << std::endl;
        }
      }
    }
    int error = 0;
    len = sizeof error;
    if (::getsockopt(connected_, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
      if (verbose())
        std::cerr << "connection from " << peer_name() << " closed: " << std::strerror(error ? error : errno)
                  << std::endl;
      close = true;
    }
    if (close) {
      check_mode_ = 0;
      SetupKeepAlive(false);
      Disconnect();
      if (verbose()) std::cerr << "CheckConnectionState Idle" << std::endl;
    }
  }
  check_timer_.set(check_period_ms, &AcceptorNetCheckConnection::OnCheckConnectionTimeout, this);
}

}  // namespace Control

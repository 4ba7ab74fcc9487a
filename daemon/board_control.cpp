#include "daemon/board_control.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/sim/board.h"

BoardControl::~BoardControl() {
  connections_.clear();
  listener_.Release();
  if (!path_.empty()) ::unlink(path_.c_str());
}

bool BoardControl::Activate() {
  path_ = platform::resolve(kPath);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path_.size() >= sizeof addr.sun_path) {
    std::cerr << "board: control socket path too long: " << path_ << std::endl;
    path_.clear();
    return false;
  }
  std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
  Fd sock(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  ::unlink(path_.c_str());
  if (!sock.valid() || ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 ||
      ::listen(sock, 8) < 0) {
    std::cerr << "board: can't serve control socket " << path_ << ": " << std::strerror(errno) << std::endl;
    path_.clear();
    return false;
  }
  listener_.Bind<BoardControl>("BoardControl::OnAccept", &BoardControl::OnAccept, this);
  listener_.Schedule(std::move(sock), POLLIN);
  collector_.Bind(this, &BoardControl::Collect);
  return true;
}

void BoardControl::OnAccept(int fd, short revents) {
  if (!(revents & POLLIN)) return;
  int client;
  while ((client = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
    auto c = std::make_unique<Connection>();
    c->owner = this;
    c->event.Bind<Connection>("BoardControl::OnEvent", &Connection::OnEvent, c.get());
    c->event.Schedule(Fd(client), POLLIN);
    connections_.push_back(std::move(c));
  }
}

void BoardControl::Connection::OnEvent(int fd, short revents) {
  if (!event.fd().valid()) return;
  bool eof = false;
  if (revents & (POLLIN | POLLHUP | POLLERR)) {
    char buf[1024];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) input.append(buf, size_t(n));
    eof = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
    size_t nl;
    while ((nl = input.find('\n')) != std::string::npos) {
      std::string line = input.substr(0, nl);
      input.erase(0, nl + 1);
      output += platform::sim::SimBoard::instance().command(line) + "\n";
    }
    if (input.size() > kMaxLine) {
      output += "error line too long\n";
      input.clear();
      eof = true;
    }
  }
  while (!output.empty()) {
    ssize_t n = ::send(fd, output.data(), output.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) {
      eof = true;
      break;
    }
    output.erase(0, size_t(n));
  }
  if (eof) {
    event.Release();
    owner->collector_.Activate();
    return;
  }
  event.SetEvents(short(output.empty() ? POLLIN : POLLIN | POLLOUT));
}

void BoardControl::Collect() {
  collector_.Deactivate();
  connections_.remove_if([](const std::unique_ptr<Connection>& c) { return !c->event.fd().valid(); });
}

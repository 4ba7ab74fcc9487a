#include "transport/strm_protocol.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "core/ext.h"
#include "core/multiplexer.h"
#include "core/mux_clock.h"

namespace {
constexpr uint32_t kWriteLimitMs = 1000;

int socket_option(int fd, int option) {
  int value = 0;
  socklen_t len = sizeof value;
  if (::getsockopt(fd, SOL_SOCKET, option, &value, &len) != 0) return -1;
  return value;
}

int queue_ioctl(int fd, unsigned long request) {
  int value = 0;
  if (::ioctl(fd, request, &value) != 0) return -1;
  return value;
}
}  // namespace

StrmProtocol::StrmProtocol() { init(); }

StrmProtocol::~StrmProtocol() { release(); }

void StrmProtocol::attach(Fd socket) {
  release();
  socket_ = socket;
  // A fresh socket has nothing queued: a non-zero answer means this kernel
  // reports the free space instead.
  outq_reports_free_ = queue_ioctl(socket_, TIOCOUTQ) > 0;
}

void StrmProtocol::release() {
  if (!socket_.valid()) return;
  event_.Release();
  socket_.close();
}

int StrmProtocol::sendbuf_space() const { return socket_option(socket_, SO_SNDBUF); }
int StrmProtocol::recvbuf_space() const { return socket_option(socket_, SO_RCVBUF); }
int StrmProtocol::inq_space() const { return queue_ioctl(socket_, FIONREAD); }
int StrmProtocol::outq_space() const { return queue_ioctl(socket_, TIOCOUTQ); }

int StrmProtocol::free_space() const {
  int outq = outq_space();
  if (outq_reports_free_) return outq;
  return sendbuf_space() - outq;
}

void StrmProtocol::put_queues(std::ostream& out) const {
  out << ", sendbuf=" << sendbuf_space() << ", recvbuf=" << recvbuf_space() << ", free=" << free_space()
      << ", inq=" << inq_space() << ", outq=" << outq_space();
}

void StrmProtocol::local_activate() {
  if (!socket_.valid()) {
    on_deactivate(make_error(this, "fd not attached"));
    return;
  }
  event_.Bind<StrmProtocol>("StrmProtocol::on_event", &StrmProtocol::on_event, this);
  event_.Schedule(socket_, POLLIN);
  on_activate();
}

void StrmProtocol::local_deactivate() {
  release();
  on_deactivate(make_success(this, "success"));
}

void StrmProtocol::local_prepare_head(Packet& packet) { packet.reserve_head(0); }

void StrmProtocol::on_error(const std::string& text) {
  release();
  on_deactivate(make_error(this, text));
}

void StrmProtocol::on_event(int, short revents) {
  if (revents & POLLERR) on_error(std::string("pollerr: ") + std::strerror(errno));
  else if (revents & POLLHUP) on_error(std::string("pollhup: ") + std::strerror(errno));
  else if (revents & POLLIN) read();
}

void StrmProtocol::read() {
  Packet packet;
  packet.reserve_head(0);
  read_measure_.begin();
  ssize_t n = ::recv(socket_, packet.tail_space(), packet.tailroom(), MSG_DONTWAIT | MSG_NOSIGNAL);
  read_measure_.end();
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
  if (n <= 0) {
    on_error(std::string("read error: ") + std::strerror(errno));
    return;
  }
  if (trace_) {
    std::clog << ext::header(this) << "receive success";
    put_queues(std::clog);
    std::clog << std::endl;
  }
  packet.extend(size_t(n));
  packet.check("put");
  on_message(packet);
}

void StrmProtocol::message(Packet& packet) {
  if (!socket_.valid()) return;
  uint32_t start = Mux::milliseconds();
  write_measure_.begin();
  const uint8_t* bytes = packet.data();
  size_t left = packet.length();
  while (left > 0) {
    ssize_t n = ::send(socket_, bytes, left, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      bytes += n;
      left -= size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      int32_t remaining = int32_t(kWriteLimitMs) - int32_t(Mux::milliseconds() - start);
      bool writable = false;
      if (remaining > 0) {
        multiplexer.resetWD();
        pollfd entry{socket_, POLLOUT, 0};
        int rc = ::poll(&entry, 1, remaining);
        multiplexer.resetWD();
        writable = rc > 0 || (rc < 0 && errno == EINTR);
      }
      if (writable) continue;
      write_measure_.end();
      std::cerr << ext::header(this) << "write timeout";
      put_queues(std::cerr);
      std::cerr << std::endl;
      ++errors_;
      on_error("write timeout");
      return;
    }
    int error = n < 0 ? errno : EPIPE;
    write_measure_.end();
    std::cerr << ext::header(this) << "write error";
    put_queues(std::cerr);
    std::cerr << ", error=" << std::strerror(error) << std::endl;
    ++errors_;
    on_error(std::string("write error: ") + std::strerror(error));
    return;
  }
  write_measure_.end();
  if (trace_) {
    std::clog << ext::header(this) << "write success";
    put_queues(std::clog);
    std::clog << std::endl;
  }
}

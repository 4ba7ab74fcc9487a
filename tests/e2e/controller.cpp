#include "tests/e2e/controller.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <iterator>

#include "asn1/coder_env.h"

namespace e2e {

Bytes Encode(const LGCP::Message& message) {
  Bytes out;
  ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).encode(message, std::back_inserter(out));
  return out;
}

Bytes Frame(const Bytes& payload) {
  const size_t length = payload.size() + 4;
  Bytes out(length);
  out[0] = 3;
  out[1] = 0;
  out[2] = uint8_t(length >> 8);
  out[3] = uint8_t(length);
  std::copy(payload.begin(), payload.end(), out.begin() + 4);
  return out;
}

LGCP::Message Command(const std::function<void(LGCP::Command&)>& build, std::optional<int> seq,
                      std::optional<unsigned> slot) {
  LGCP::Message message;
  if (seq) message.set_seq(ASN1::INTEGER(*seq));
  if (slot) message.set_slot(LGCP::Message::slot::value_type(*slot));
  build(message.get_pdu().get_command());
  return message;
}

LGCP::Message Ping(std::optional<int> seq, std::optional<unsigned> slot) {
  return Command([](LGCP::Command& c) { c.get_ping(); }, seq, slot);
}

namespace {
sockaddr_in Loopback(int port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(uint16_t(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return sa;
}
}  // namespace

int FreePort() {
  Fd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in sa = Loopback(0);
  if (::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return -1;
  socklen_t len = sizeof sa;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
  return ntohs(sa.sin_port);
}

bool Controller::connect(int port) {
  socket_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in sa = Loopback(port);
  if (::connect(socket_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    socket_ = Fd();
    return false;
  }
  int one = 1;
  ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return true;
}

bool Controller::send_raw(const Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(socket_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      done += size_t(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    // The peer's window is full: let it read.
    if (pump_) pump_();
    pollfd p{socket_, POLLOUT, 0};
    ::poll(&p, 1, pump_ ? 0 : 100);
  }
  return true;
}

bool Controller::wait_readable(int timeout_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd p{socket_, POLLIN, 0};
    if (::poll(&p, 1, pump_ ? 0 : 20) == 1) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    if (pump_) pump_();
  }
}

bool Controller::read_exactly(uint8_t* out, size_t n, int timeout_ms) {
  size_t got = 0;
  while (got < n) {
    if (!wait_readable(timeout_ms)) return false;
    ssize_t r = ::recv(socket_, out + got, n - got, 0);
    if (r <= 0) return false;
    got += size_t(r);
  }
  return true;
}

std::optional<LGCP::Message> Controller::receive(int timeout_ms) {
  uint8_t header[4];
  if (!read_exactly(header, 4, timeout_ms) || header[0] != 3) return std::nullopt;
  const size_t length = size_t(header[2]) << 8 | header[3];
  if (length < 4) return std::nullopt;
  Bytes payload(length - 4);
  if (!read_exactly(payload.data(), payload.size(), timeout_ms)) return std::nullopt;
  LGCP::Message message;
  if (!ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).decode(payload.begin(), payload.end(), message))
    return std::nullopt;
  return message;
}

bool Controller::closed_by_peer(int timeout_ms) {
  if (!wait_readable(timeout_ms)) return false;
  char byte;
  return ::recv(socket_, &byte, 1, 0) <= 0;  // an orderly close or a reset
}

bool Controller::silent(int timeout_ms) { return !wait_readable(timeout_ms); }

}  // namespace e2e

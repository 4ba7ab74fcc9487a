#pragma once
// Plain blocking loopback clients and loop helpers for the connection tests.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "core/fd.h"
#include "core/multiplexer.h"
#include "transport/control_service.h"

// Runs loop passes until done() holds; false after max_passes. Each pass
// returns as soon as a watched socket has news.
inline bool run_until(const std::function<bool()>& done, int max_passes = 200) {
  for (int i = 0; i < max_passes; ++i) {
    if (done()) return true;
    multiplexer.pass();
  }
  return done();
}

inline sockaddr_in loopback(int port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(uint16_t(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return sa;
}

// A connected blocking client, or an empty Fd.
inline Fd connect_client(int port, int rcvbuf = 0) {
  Fd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (rcvbuf > 0) ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
  sockaddr_in sa = loopback(port);
  if (::connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return Fd();
  return s;
}

// A bound, listening socket on an ephemeral loopback port.
inline Fd listen_socket(int& port, int backlog = 4) {
  Fd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in sa = loopback(0);
  EXPECT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
  if (backlog >= 0) {
    EXPECT_EQ(::listen(s, backlog), 0);
  }
  socklen_t len = sizeof sa;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
  port = ntohs(sa.sin_port);
  return s;
}

inline bool readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, ms) == 1;
}

inline std::string read_exactly(int fd, size_t n) {
  std::string out(n, '\0');
  size_t got = 0;
  while (got < n) {
    if (!readable(fd, 5000)) break;
    ssize_t r = ::read(fd, &out[got], n - got);
    if (r <= 0) break;
    got += size_t(r);
  }
  out.resize(got);
  return out;
}

inline void write_all(int fd, const std::string& bytes) {
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

// Records what a connection tells its client.
class RecordingClient : public Control::Notify {
 public:
  explicit RecordingClient(Control::Service& service) : service_(service) { service.Bind(this); }
  void OnConnect() override { ++connects; }
  void OnDisconnect() override {
    ++disconnects;
    state_at_disconnect = service_.state();
  }
  void OnMessage(const char* data, int length) override { messages.emplace_back(data, size_t(length)); }

  int connects = 0;
  int disconnects = 0;
  Control::Service::State::Type state_at_disconnect = Control::Service::State::Idle;
  std::vector<std::string> messages;

 private:
  Control::Service& service_;
};

// Messages per second echoed through a pair of control connections on
// loopback (acceptor and connector on the daemon's loop, one thread),
// beside a plain blocking-socket echo of the same TPKT frames in one thread.
// items_per_second is the round trips per second; compare the two at each size.

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "core/multiplexer.h"
#include "transport/acceptor_net.h"
#include "transport/connector_net.h"

namespace {

class Echo : public Control::Notify {
 public:
  explicit Echo(Control::Service& s) : service(s) { s.Bind(this); }
  void OnConnect() override { connected = true; }
  void OnDisconnect() override { connected = false; }
  void OnMessage(const char* data, int length) override { service.Send(data, length); }
  Control::Service& service;
  bool connected = false;
};

class Counter : public Control::Notify {
 public:
  void OnConnect() override { connected = true; }
  void OnDisconnect() override { connected = false; }
  void OnMessage(const char*, int length) override {
    ++received;
    bytes += length;
  }
  bool connected = false;
  long received = 0;
  long bytes = 0;
};

void ServicePairEcho(benchmark::State& state) {
  std::ostringstream quiet;
  std::streambuf* saved_out = std::cout.rdbuf(quiet.rdbuf());
  Control::AcceptorNet acceptor(0, false);
  Echo echo(acceptor);
  acceptor.Activate();
  Control::ConnectorNet connector("127.0.0.1", uint16_t(acceptor.bound_port()), false);
  Counter counter;
  connector.Bind(&counter);
  connector.Activate();
  for (int i = 0; i < 1000 && !(counter.connected && echo.connected); ++i) multiplexer.pass();
  std::cout.rdbuf(saved_out);
  if (!(counter.connected && echo.connected)) {
    state.SkipWithError("control connections did not connect");
    return;
  }
  std::string payload(size_t(state.range(0)), 'p');
  for (auto _ : state) {
    long target = counter.received + 1;
    connector.Send(payload.data(), int(payload.size()));
    while (counter.received < target) multiplexer.pass();
  }
  state.SetItemsProcessed(state.iterations());
  if (counter.bytes != long(payload.size()) * counter.received) state.SkipWithError("echo lost bytes");
  connector.Deactivate();
  acceptor.Deactivate();
}

bool read_full(int fd, char* p, size_t n) {
  while (n > 0) {
    ssize_t r = ::read(fd, p, n);
    if (r <= 0) return false;
    p += r;
    n -= size_t(r);
  }
  return true;
}

bool write_full(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t r = ::write(fd, p, n);
    if (r <= 0) return false;
    p += r;
    n -= size_t(r);
  }
  return true;
}

// Reads one TPKT frame into frame (header included).
bool read_frame(int fd, std::string& frame) {
  char header[4];
  if (!read_full(fd, header, 4)) return false;
  size_t length = (size_t(uint8_t(header[2])) << 8) | uint8_t(header[3]);
  frame.assign(header, 4);
  frame.resize(length);
  return read_full(fd, &frame[4], length - 4);
}

void PlainBlockingEcho(benchmark::State& state) {
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof sa;
  ::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  ::listen(listener, 1);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len);
  int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (::connect(client, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    state.SkipWithError("connect failed");
    return;
  }
  int server = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  int on = 1;
  ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

  size_t n = size_t(state.range(0)) + 4;
  std::string frame(n, 'p');
  frame[0] = 3;
  frame[1] = 0;
  frame[2] = char(n >> 8);
  frame[3] = char(n & 255);
  std::string at_server, at_client;
  for (auto _ : state) {
    if (!write_full(client, frame.data(), frame.size()) || !read_frame(server, at_server) ||
        !write_full(server, at_server.data(), at_server.size()) || !read_frame(client, at_client)) {
      state.SkipWithError("echo failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
  ::close(server);
  ::close(client);
  ::close(listener);
}

}  // namespace

BENCHMARK(ServicePairEcho)->Arg(16)->Arg(1000);
BENCHMARK(PlainBlockingEcho)->Arg(16)->Arg(1000);
BENCHMARK_MAIN();

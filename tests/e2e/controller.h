#pragma once
// A test controller: a blocking TCP client that frames LGCP messages in TPKT
// and reads the daemon's answers. While it waits it calls pump (when set), so
// a test whose server runs on its own thread's loop can drive it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/fd.h"
#include "protocol/lgcp/LGCP.h"

namespace e2e {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const LGCP::Message& message);
// One TPKT frame around the payload: 03 00 length(2) payload.
Bytes Frame(const Bytes& payload);

// {seq?, slot?, command ping}
LGCP::Message Ping(std::optional<int> seq = std::nullopt, std::optional<unsigned> slot = std::nullopt);
// {seq?, slot?, command} with the command made by build.
LGCP::Message Command(const std::function<void(LGCP::Command&)>& build, std::optional<int> seq = std::nullopt,
                      std::optional<unsigned> slot = std::nullopt);

// A free TCP port on loopback (bound to port 0, then released).
int FreePort();

class Controller {
 public:
  explicit Controller(std::function<void()> pump = nullptr) : pump_(std::move(pump)) {}

  bool connect(int port);
  void close() { socket_ = Fd(); }
  bool connected() const { return socket_.valid(); }
  int fd() const { return socket_; }

  bool send(const LGCP::Message& message) { return send_raw(Frame(Encode(message))); }
  bool send_payload(const Bytes& payload) { return send_raw(Frame(payload)); }
  bool send_raw(const Bytes& bytes);

  // The next message, decoded; nullopt when none came within the time, the
  // connection closed or the payload did not decode.
  std::optional<LGCP::Message> receive(int timeout_ms = 5000);
  // True when the peer closed or reset the connection within the time (no data first).
  bool closed_by_peer(int timeout_ms = 5000);
  // True when nothing arrives within the time.
  bool silent(int timeout_ms);

 private:
  bool wait_readable(int timeout_ms);
  bool read_exactly(uint8_t* out, size_t n, int timeout_ms);

  std::function<void()> pump_;
  Fd socket_;
};

}  // namespace e2e

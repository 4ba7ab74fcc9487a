#pragma once
// A TPKT layer in a family over a fake socket layer: what the family
// delivers and what reaches the wire are recorded.

#include <functional>
#include <string>
#include <vector>

#include "transport/protocol.h"
#include "transport/tpkt_protocol.h"

class WireRecorder : public Protocol {
 public:
  void message(Packet& packet) override {
    wire.append(reinterpret_cast<const char*>(packet.data()), packet.length());
  }
  // Bytes from the socket, as one read.
  void inject(const std::string& bytes) {
    Packet p;
    p.reserve_head(0);
    p.put(bytes.data(), bytes.size());
    on_message(p);
  }
  std::string wire;
};

class TpktStack : public ProtocolsFamily {
 public:
  TpktStack() : bottom(new WireRecorder), tpkt(new Tpkt_protocol) {
    add_protocol_tail(bottom);
    add_protocol_tail(tpkt);
  }
  void on_message(Packet& packet) override {
    messages.emplace_back(reinterpret_cast<const char*>(packet.data()), packet.length());
    if (after_message) after_message();
  }
  void send(const std::string& payload) {
    Packet p;
    prepare_head(p);
    p.put(payload.data(), payload.size());
    message(p);
  }

  WireRecorder* bottom;
  Tpkt_protocol* tpkt;
  std::vector<std::string> messages;
  std::function<void()> after_message;
};

inline std::string hex(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += char(b);
  return s;
}

inline std::string frame(const std::string& payload) {
  size_t n = payload.size() + 4;
  return hex({3, 0, int(n >> 8), int(n & 255)}) + payload;
}

#include "transport/tpkt_protocol.h"

#include <algorithm>
#include <iostream>

#include "core/profile.h"

void Tpkt_protocol::message(Packet& packet) {
  static Profile::Point point("Tpkt_protocol::message");
  point.begin();
  size_t length = packet.length();
  if (length > max_payload) {
    // The length field cannot describe it: a wrapped length would make the
    // peer cut the stream in the wrong places.
    std::cerr << "TPKT message too big, length = " << length << " max = " << max_payload << std::endl;
    point.end();
    return;
  }
  packet.push16_b(uint16_t(length + 4));
  packet.push8(0);
  packet.push8(3);
  transmit(packet);
  point.end();
}

void Tpkt_protocol::local_prepare_head(Packet& packet) { packet.reserve_head(4); }
void Tpkt_protocol::local_prepare_tail(Packet& packet) { packet.reserve_tail(0); }

void Tpkt_protocol::local_activate() {
  reset();
  on_activate();
}

void Tpkt_protocol::local_deactivate() {
  reset();
  on_deactivate(make_success(this, "TPKT deactivated"));
}

void Tpkt_protocol::reset() {
  timer_.reset();
  frame_.clear();
  expected_ = 0;
  state_ = idle;
  ++resets_;
}

void Tpkt_protocol::deliver() {
  Packet frame = std::move(frame_);
  frame_ = Packet();
  state_ = idle;
  on_message(frame);
}

void Tpkt_protocol::receive(Packet& packet) {
  unsigned generation = resets_;
  while (packet.length() > 0) {
    switch (state_) {
      case idle:
        if (packet.pull8() == 3) state_ = reserved;
        else std::clog << name().name() << " bad TPKT packet start." << std::endl;
        break;
      case reserved:
        if (packet.pull8() != 0) std::clog << name().name() << " bad TPKT reserved." << std::endl;
        state_ = length_high;
        break;
      case length_high:
        expected_ = packet.pull8() << 8;
        state_ = length_low;
        break;
      case length_low: {
        int length = expected_ | packet.pull8();
        if (length <= 3) {
          std::clog << "TPKT too small " << length << std::endl;
          state_ = idle;
          break;
        }
        expected_ = length - 4;
        frame_.clear();
        frame_.reserve_head(0);
        if (size_t(expected_) > frame_.tailroom()) {
          std::clog << "TPKT length too big, received = " << expected_ << " max = " << frame_.tailroom()
                    << std::endl;
          frame_.clear();
          state_ = skipping;
          break;
        }
        state_ = payload;
        // An empty message is complete with its header; holding it until more
        // bytes arrive would lose it when the peer then stays silent.
        if (expected_ == 0) deliver();
        break;
      }
      case payload: {
        size_t n = std::min(packet.length(), size_t(expected_));
        frame_.put(packet.data(), n);
        packet.pull(n);
        expected_ -= int(n);
        if (expected_ == 0) deliver();
        break;
      }
      case skipping: {
        size_t n = std::min(packet.length(), size_t(expected_));
        packet.pull(n);
        expected_ -= int(n);
        if (expected_ == 0) state_ = idle;
        break;
      }
    }
    // The layer above may have closed or restarted the connection while a
    // message was delivered: what is left of this read belongs to the old one.
    if (resets_ != generation) return;
  }
  if (state_ == idle) timer_.reset();
  else timer_.set(partial_frame_timeout_ms, &Tpkt_protocol::OnTimeout, this);
}

void Tpkt_protocol::OnTimeout() {
  std::clog << " TPKT packet timeout." << std::endl;
  reset();
}

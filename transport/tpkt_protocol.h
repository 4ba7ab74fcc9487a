#pragma once
// TPKT framing (version 3, reserved 0, 16-bit big-endian total length, then
// one message): cuts the byte stream from below into messages and prepends
// the header to messages from above. Framing errors are logged and the
// parser resynchronises on the next version byte; a frame that stays
// incomplete for 3 seconds after its last bytes is discarded.

#include "core/timer.h"
#include "transport/protocol.h"

class Tpkt_protocol : public Protocol {
 public:
  enum State { idle = 0, reserved = 1, length_high = 2, length_low = 3, payload = 4, skipping = 5 };
  static constexpr unsigned partial_frame_timeout_ms = 3000;
  static constexpr size_t max_payload = 65535 - 4;

  Tpkt_protocol() = default;

  void message(Packet& packet) override;
  void receive(Packet& packet) override;
  void local_prepare_head(Packet& packet) override;
  void local_prepare_tail(Packet& packet) override;
  void local_activate() override;
  void local_deactivate() override;

  void reset();
  void next_state(State state) { state_ = state; }
  State state() const { return state_; }
  bool timer_pending() const { return timer_.get() != nullptr; }

 private:
  void OnTimeout();
  void deliver();

  Protocol_name_str tpkt_name_{"TPKT"};
  int expected_ = 0;
  Timer timer_;
  State state_ = idle;
  Packet frame_;
  unsigned resets_ = 0;
};

// Arbitrary byte streams, cut into arbitrary reads, into the TPKT layer: no
// crash, no buffer kept beyond the frame being assembled, and after the
// partial-frame timeout a valid frame is delivered intact.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "core/multiplexer.h"
#include "platform/clock.h"
#include <fcntl.h>
#include <unistd.h>

#include "core/event.h"
#include "tests/transport/tpkt_stack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::ostringstream sink;
  static std::streambuf* quiet = (std::clog.rdbuf(sink.rdbuf()), sink.rdbuf());
  (void)quiet;
  sink.str("");
  // A readable pipe on the loop, so that a pass never waits.
  struct KeepAlive {
    Event event;
    void OnEvent(int, short) {}
  };
  static KeepAlive* keep_alive = [] {
    auto* k = new KeepAlive;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0 || ::write(fds[1], "x", 1) != 1) std::abort();
    k->event.Bind<KeepAlive>("keep-alive", &KeepAlive::OnEvent, k);
    k->event.Schedule(Fd(fds[0]), POLLIN);
    return k;
  }();
  (void)keep_alive;

  size_t free_at_start = packet_pool.available();
  {
    TpktStack stack;
    // The first byte chooses the read sizes.
    size_t chunk = size ? 1 + data[0] % 97 : 1;
    for (size_t at = size ? 1 : 0; at < size; at += chunk)
      stack.bottom->inject(std::string(reinterpret_cast<const char*>(data + at), std::min(chunk, size - at)));
    if (packet_pool.available() + 1 < free_at_start) std::abort();
    if (stack.tpkt->state() != Tpkt_protocol::idle) {
      platform::advance_clock(Tpkt_protocol::partial_frame_timeout_ms);
      multiplexer.pass();
    }
    if (stack.tpkt->state() != Tpkt_protocol::idle) std::abort();
    stack.messages.clear();
    stack.bottom->inject(frame("valid"));
    if (stack.messages.size() != 1 || stack.messages[0] != "valid") std::abort();
  }
  if (packet_pool.available() != free_at_start) std::abort();
  return 0;
}

#include "core/timer.h"

#include "core/multiplexer.h"
#include "core/mux_clock.h"

TimerEvent::~TimerEvent() {
  if (listed_) multiplexer.reset(this);
}

void TimerEvent::schedule(uint32_t ms) {
  if (listed_) multiplexer.reset(this);
  deadline = Mux::milliseconds() + ms;
  multiplexer.set(this);
}

void TimerEvent::reset() {
  if (listed_) multiplexer.reset(this);
}

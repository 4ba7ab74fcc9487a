#pragma once
// The wall clock every daemon timer derives from. On the real board this is
// gettimeofday() and nothing else; the simulated board can move it forward so
// that long timers (heartbeat, link and monitoring timers) run in milliseconds.

#include <cstdint>
#include <sys/time.h>

namespace platform {

// gettimeofday() plus whatever the clock has been advanced by.
int gettimeofday(struct timeval* tv);

// Moves the daemon's clock forward by the given milliseconds (never back).
void advance_clock(uint32_t ms);

// Total advance so far, in microseconds.
int64_t clock_advance_us();

}  // namespace platform

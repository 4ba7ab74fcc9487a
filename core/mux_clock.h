#pragma once
// The clock of every timer. Millisecond stamps are unsigned 32-bit and wrap
// about every 49.7 days; they are always compared by their signed difference.

#include <cstdint>
#include <string>

namespace Mux {

struct timeval {
  int32_t tv_sec = 0;
  int32_t tv_usec = 0;
};

// The cached time when one was stored, else the system clock.
void mux_gettimeofday(timeval& tv);
// Stores the current time as the cached time (loop run with realclock false).
void mux_settimeofday();

uint32_t milliseconds();
uint32_t microseconds();
int32_t seconds();

inline void gettimeval(timeval& tv) { mux_gettimeofday(tv); }
std::string timevaltostring(const timeval& tv);
timeval make_from_msec(uint32_t ms);
timeval make_from_usec(uint32_t us);
void timevaladd(timeval& a, const timeval& b);
void timevalsub(timeval& a, const timeval& b);
void timevaladd2(const timeval& a, const timeval& b, timeval& out);
void timevalsub2(const timeval& a, const timeval& b, timeval& out);
void timevalset(timeval& tv, uint64_t ms);
// b - a in milliseconds, 0 when b is earlier.
uint32_t timevaldiff(const timeval& a, const timeval& b);
int timevalcompare(const timeval& a, const timeval& b);

struct timeval_timer {
  timeval stamp;
  int32_t period = 0;
  void init(const timeval& tv, int32_t period_ms) {
    stamp = tv;
    period = period_ms;
  }
  void init_now(const timeval& tv) { stamp = tv; }
  // True when the period is positive and more than one period has passed.
  bool is_expired(const timeval& now) const;
  void inc();
};

}  // namespace Mux

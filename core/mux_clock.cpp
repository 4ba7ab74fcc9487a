#include "core/mux_clock.h"

#include <cstdio>
#include <ctime>

#include "platform/clock.h"

namespace Mux {
namespace {
timeval cached;

void normalise(timeval& tv) {
  while (tv.tv_usec >= 1000000) {
    tv.tv_usec -= 1000000;
    ++tv.tv_sec;
  }
  while (tv.tv_usec < 0) {
    tv.tv_usec += 1000000;
    --tv.tv_sec;
  }
}

void system_time(timeval& tv) {
  struct ::timeval now;
  platform::gettimeofday(&now);
  tv.tv_sec = int32_t(now.tv_sec);
  tv.tv_usec = int32_t(now.tv_usec);
}
}  // namespace

void mux_gettimeofday(timeval& tv) {
  if (cached.tv_sec != 0 || cached.tv_usec != 0) {
    tv = cached;
    return;
  }
  system_time(tv);
}

void mux_settimeofday() { system_time(cached); }

uint32_t milliseconds() {
  timeval tv;
  mux_gettimeofday(tv);
  return uint32_t((int64_t(tv.tv_sec) * 1000000 + tv.tv_usec) / 1000);
}

uint32_t microseconds() {
  timeval tv;
  mux_gettimeofday(tv);
  return uint32_t(int64_t(tv.tv_sec) * 1000000 + tv.tv_usec);
}

int32_t seconds() {
  timeval tv;
  mux_gettimeofday(tv);
  return tv.tv_sec;
}

std::string timevaltostring(const timeval& tv) {
  time_t t = tv.tv_sec;
  struct tm local;
  localtime_r(&t, &local);
  char date[32];
  strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
  char out[64];
  snprintf(out, sizeof out, "%s.%06ld", date, long(tv.tv_usec));
  return out;
}

timeval make_from_msec(uint32_t ms) {
  timeval tv;
  tv.tv_sec = int32_t(ms / 1000);
  tv.tv_usec = int32_t((ms % 1000) * 1000);
  return tv;
}

timeval make_from_usec(uint32_t us) {
  timeval tv;
  tv.tv_sec = int32_t(us / 1000000);
  tv.tv_usec = int32_t(us % 1000000);
  return tv;
}

void timevaladd(timeval& a, const timeval& b) {
  a.tv_sec += b.tv_sec;
  a.tv_usec += b.tv_usec;
  normalise(a);
}

void timevalsub(timeval& a, const timeval& b) {
  a.tv_sec -= b.tv_sec;
  a.tv_usec -= b.tv_usec;
  normalise(a);
}

void timevaladd2(const timeval& a, const timeval& b, timeval& out) {
  out = a;
  timevaladd(out, b);
}

void timevalsub2(const timeval& a, const timeval& b, timeval& out) {
  out = a;
  timevalsub(out, b);
}

void timevalset(timeval& tv, uint64_t ms) {
  tv.tv_sec = int32_t(ms / 1000);
  tv.tv_usec = int32_t((ms % 1000) * 1000);
}

int timevalcompare(const timeval& a, const timeval& b) {
  if (a.tv_sec != b.tv_sec) return a.tv_sec < b.tv_sec ? -1 : 1;
  if (a.tv_usec != b.tv_usec) return a.tv_usec < b.tv_usec ? -1 : 1;
  return 0;
}

uint32_t timevaldiff(const timeval& a, const timeval& b) {
  if (timevalcompare(b, a) < 0) return 0;
  int64_t us = (int64_t(b.tv_sec) - a.tv_sec) * 1000000 + (int64_t(b.tv_usec) - a.tv_usec);
  return uint32_t(us / 1000);
}

bool timeval_timer::is_expired(const timeval& now) const {
  if (period <= 0) return false;
  timeval deadline = stamp;
  timevaladd(deadline, make_from_msec(uint32_t(period)));
  return timevalcompare(now, deadline) > 0;
}

void timeval_timer::inc() { timevaladd(stamp, make_from_msec(uint32_t(period))); }

}  // namespace Mux

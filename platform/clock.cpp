#include "platform/clock.h"

namespace platform {
namespace {
int64_t advance_us = 0;
}

int gettimeofday(struct timeval* tv) {
  int rc = ::gettimeofday(tv, nullptr);
  if (rc == 0 && advance_us != 0) {
    int64_t us = int64_t(tv->tv_sec) * 1000000 + tv->tv_usec + advance_us;
    tv->tv_sec = time_t(us / 1000000);
    tv->tv_usec = suseconds_t(us % 1000000);
  }
  return rc;
}

void advance_clock(uint32_t ms) { advance_us += int64_t(ms) * 1000; }

int64_t clock_advance_us() { return advance_us; }

}  // namespace platform

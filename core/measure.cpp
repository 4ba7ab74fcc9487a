#include "core/measure.h"

#include "core/mux_clock.h"

void Measure::begin() { start_ = Mux::microseconds(); }

void Measure::end() {
  uint32_t elapsed = Mux::microseconds() - start_;
  if (first_) {
    first_ = false;
    min_ = max_ = last_ = elapsed;
    counter_ = 1;
    return;
  }
  ++counter_;
  if (elapsed < min_) min_ = elapsed;
  if (elapsed > max_) max_ = elapsed;
  last_ = elapsed;
}

void Measure::put(std::ostream& out) const {
  out << "min=" << min_ << " max=" << max_ << " avg=" << last_ << " counter=" << counter_;
}

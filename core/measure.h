#pragma once
// Duration statistics in microseconds, shown in the status dump.

#include <cstdint>
#include <ostream>

class Measure {
 public:
  void begin();
  void end();
  // "min=.. max=.. avg=.. counter=..": avg is the most recent duration.
  void put(std::ostream& out) const;

  uint32_t min() const { return min_; }
  uint32_t max() const { return max_; }
  uint32_t last() const { return last_; }
  uint32_t counter() const { return counter_; }

 private:
  uint32_t min_ = 0, max_ = 0, last_ = 0;
  bool first_ = true;
  uint32_t start_ = 0;
  uint32_t counter_ = 0;
};

inline std::ostream& operator<<(std::ostream& out, const Measure& m) {
  m.put(out);
  return out;
}

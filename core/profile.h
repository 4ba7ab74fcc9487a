#pragma once
// Named duration statistics; every point links itself into one global list
// (newest first) so that the status dump can show them all.

#include <ostream>
#include <string>

#include "core/measure.h"

namespace Profile {

class Point {
 public:
  explicit Point(std::string name);
  ~Point();
  Point(const Point&) = delete;
  Point& operator=(const Point&) = delete;

  void begin() { measure_.begin(); }
  void end() { measure_.end(); }
  // "[name]: min=.. max=.. avg=.. counter=.."
  void put(std::ostream& out) const;
  const std::string& name() const { return name_; }
  const Measure& measure() const { return measure_; }

  static Point* mRoot;
  Point* next() const { return next_; }

 private:
  std::string name_;
  Measure measure_;
  Point* next_ = nullptr;
  Point* prev_ = nullptr;
};

// Every point, one per line.
void dump(std::ostream& out);

}  // namespace Profile

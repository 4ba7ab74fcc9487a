#include "core/profile.h"

namespace Profile {

Point* Point::mRoot = nullptr;

Point::Point(std::string name) : name_(std::move(name)) {
  next_ = mRoot;
  if (mRoot) mRoot->prev_ = this;
  mRoot = this;
}

Point::~Point() {
  if (prev_) prev_->next_ = next_;
  else if (mRoot == this) mRoot = next_;
  if (next_) next_->prev_ = prev_;
}

void Point::put(std::ostream& out) const {
  out << '[' << name_ << "]: ";
  measure_.put(out);
}

void dump(std::ostream& out) {
  for (Point* p = Point::mRoot; p; p = p->next()) {
    p->put(out);
    out << '\n';
  }
}

}  // namespace Profile

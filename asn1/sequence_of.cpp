#include "asn1/sequence_of.h"

#include "asn1/visitors.h"

namespace ASN1 {

SEQUENCE_OF_Base::SEQUENCE_OF_Base(const SEQUENCE_OF_Base& other) : ConstrainedObject(other) {
  elements_.reserve(other.elements_.size());
  for (const AbstractData* e : other.elements_) elements_.push_back(e->clone());
}

SEQUENCE_OF_Base& SEQUENCE_OF_Base::operator=(const SEQUENCE_OF_Base& other) {
  if (this == &other) return *this;
  std::vector<AbstractData*> copies;
  copies.reserve(other.elements_.size());
  for (const AbstractData* e : other.elements_) copies.push_back(e->clone());
  clear();
  elements_.swap(copies);
  return *this;
}

void SEQUENCE_OF_Base::resize(std::size_t n) {
  if (n < elements_.size()) {
    erase(n, elements_.size());
    return;
  }
  const AbstractInfo* ei = info()->elementInfo;
  elements_.reserve(n);
  while (elements_.size() < n) elements_.push_back(ei->create(ei));
}

void SEQUENCE_OF_Base::insert(std::size_t pos, AbstractData* value) {
  if (pos > elements_.size()) pos = elements_.size();
  elements_.insert(elements_.begin() + std::ptrdiff_t(pos), value);
}

void SEQUENCE_OF_Base::erase(std::size_t first, std::size_t last) {
  if (last > elements_.size()) last = elements_.size();
  if (first >= last) return;
  for (std::size_t i = first; i < last; ++i) delete elements_[i];
  elements_.erase(elements_.begin() + std::ptrdiff_t(first), elements_.begin() + std::ptrdiff_t(last));
}

void SEQUENCE_OF_Base::clear() {
  for (AbstractData* e : elements_) delete e;
  elements_.clear();
}

int SEQUENCE_OF_Base::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const SEQUENCE_OF_Base&>(other);
  const std::size_t n = size() < o.size() ? size() : o.size();
  for (std::size_t i = 0; i < n; ++i)
    if (const int r = elements_[i]->compare(*o.elements_[i])) return r;
  return size() < o.size() ? -1 : (size() > o.size() ? 1 : 0);
}
bool SEQUENCE_OF_Base::do_accept(Visitor& v) { return v.do_visit(*this); }
bool SEQUENCE_OF_Base::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

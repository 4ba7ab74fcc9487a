#include "asn1/scalars.h"

#include <algorithm>

#include "asn1/visitors.h"

namespace ASN1 {

constinit const AbstractInfo Null::theInfo = {&Null::create, 5};
constinit const AbstractInfo BOOLEAN::theInfo = {&BOOLEAN::create, 1};
constinit const ConstrainedInfo INTEGER::theInfo = {{&INTEGER::create, 2}, Unconstrained, 0, NoUpperBound};

bool Null::do_accept(Visitor& v) { return v.do_visit(*this); }
bool Null::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

int BOOLEAN::do_compare(const AbstractData& other) const {
  return int(value_) - int(static_cast<const BOOLEAN&>(other).value_);
}
bool BOOLEAN::do_accept(Visitor& v) { return v.do_visit(*this); }
bool BOOLEAN::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

int INTEGER::do_compare(const AbstractData& other) const {
  // The sign of the difference, without the overflow of a plain subtraction.
  const int o = static_cast<const INTEGER&>(other).value_;
  return value_ < o ? -1 : (value_ > o ? 1 : 0);
}
bool INTEGER::do_accept(Visitor& v) { return v.do_visit(*this); }
bool INTEGER::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

std::string_view IntegerWithNamedNumber::getName() const {
  const NamedNumber* first = info()->namedNumbers;
  const NamedNumber* last = first + info()->entryCount;
  const NamedNumber* it = std::lower_bound(first, last, value_,
                                           [](const NamedNumber& n, int v) { return n.value < v; });
  return (it != last && it->value == value_) ? std::string_view(it->name) : std::string_view();
}

bool IntegerWithNamedNumber::setFromName(std::string_view name) {
  for (unsigned i = 0; i < info()->entryCount; ++i)
    if (name == info()->namedNumbers[i].name) {
      value_ = info()->namedNumbers[i].value;
      return true;
    }
  return false;
}

bool IntegerWithNamedNumber::do_accept(Visitor& v) { return v.do_visit(*this); }
bool IntegerWithNamedNumber::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

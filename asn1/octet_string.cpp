#include "asn1/octet_string.h"

#include <cstring>

#include "asn1/visitors.h"

namespace ASN1 {

constinit const ConstrainedInfo OCTET_STRING::theInfo = {{&OCTET_STRING::create, 4}, Unconstrained, 0, NoUpperBound};

int OCTET_STRING::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const OCTET_STRING&>(other);
  const std::size_t n = size() < o.size() ? size() : o.size();
  if (n) {
    const int r = std::memcmp(data(), o.data(), n);
    if (r) return r;
  }
  return size() < o.size() ? -1 : (size() > o.size() ? 1 : 0);
}
bool OCTET_STRING::do_accept(Visitor& v) { return v.do_visit(*this); }
bool OCTET_STRING::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

#include "asn1/object_identifier.h"

#include "asn1/visitors.h"

namespace ASN1 {

constinit const AbstractInfo OBJECT_IDENTIFIER::theInfo = {&OBJECT_IDENTIFIER::create, 6};

namespace {
void appendSubidentifier(std::vector<std::uint8_t>& out, std::uint64_t v) {
  std::uint8_t groups[10];
  int n = 0;
  do {
    groups[n++] = std::uint8_t(v & 0x7F);
    v >>= 7;
  } while (v);
  while (n > 1) out.push_back(std::uint8_t(groups[--n] | 0x80));
  out.push_back(groups[0]);
}
} // namespace

std::vector<std::uint8_t> OBJECT_IDENTIFIER::contents() const {
  std::vector<std::uint8_t> out;
  if (arcs_.size() < 2) return out;
  appendSubidentifier(out, std::uint64_t(arcs_[0]) * 40 + arcs_[1]);
  for (std::size_t i = 2; i < arcs_.size(); ++i) appendSubidentifier(out, arcs_[i]);
  return out;
}

bool OBJECT_IDENTIFIER::setContents(const std::uint8_t* bytes, std::size_t count) {
  arcs_.clear();
  std::uint64_t sub = 0;
  bool pending = false;
  for (std::size_t i = 0; i < count; ++i) {
    sub = (sub << 7) | (bytes[i] & 0x7F);
    // The first subidentifier carries 80 + arc1, so allow it slightly more.
    if (sub > 0x1FFFFFFFFull) return false;
    pending = (bytes[i] & 0x80) != 0;
    if (pending) continue;
    if (arcs_.empty()) {
      const std::uint64_t first = sub < 40 ? 0 : (sub < 80 ? 1 : 2);
      const std::uint64_t second = sub - first * 40;
      if (second > 0xFFFFFFFFull) return false;
      arcs_.push_back(std::uint32_t(first));
      arcs_.push_back(std::uint32_t(second));
    } else {
      if (sub > 0xFFFFFFFFull) return false;
      arcs_.push_back(std::uint32_t(sub));
    }
    sub = 0;
  }
  return !pending;
}

int OBJECT_IDENTIFIER::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const OBJECT_IDENTIFIER&>(other).arcs_;
  const std::size_t n = arcs_.size() < o.size() ? arcs_.size() : o.size();
  for (std::size_t i = 0; i < n; ++i)
    if (arcs_[i] != o[i]) return arcs_[i] < o[i] ? -1 : 1;
  return int(arcs_.size()) - int(o.size());
}
bool OBJECT_IDENTIFIER::do_accept(Visitor& v) { return v.do_visit(*this); }
bool OBJECT_IDENTIFIER::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

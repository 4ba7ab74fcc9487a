#include "asn1/bit_string.h"

#include "asn1/visitors.h"

namespace ASN1 {

constinit const ConstrainedInfo BIT_STRING::theInfo = {{&BIT_STRING::create, 3}, Unconstrained, 0, NoUpperBound};

void BIT_STRING::resize(unsigned bits) {
  bytes_.resize((bits + 7) / 8);
  if (bits & 7) bytes_.back() &= std::uint8_t(0xFF00u >> (bits & 7));
  bits_ = bits;
}

void BIT_STRING::set(unsigned bit, bool on) {
  if (bit >= bits_) return;
  const std::uint8_t mask = std::uint8_t(0x80u >> (bit & 7));
  if (on)
    bytes_[bit >> 3] |= mask;
  else
    bytes_[bit >> 3] &= std::uint8_t(~mask);
}

void BIT_STRING::assign(const std::uint8_t* data, unsigned bits) {
  bytes_.assign(data, data + (bits + 7) / 8);
  bits_ = bits;
  if (bits & 7) bytes_.back() &= std::uint8_t(0xFF00u >> (bits & 7));
}

int BIT_STRING::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const BIT_STRING&>(other);
  const std::size_t n = bytes_.size() < o.bytes_.size() ? bytes_.size() : o.bytes_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned diff = bytes_[i] ^ o.bytes_[i];
    if (diff) return int(diff & bytes_[i]) - int(diff & o.bytes_[i]);
  }
  return int(bits_) - int(o.bits_);
}
bool BIT_STRING::do_accept(Visitor& v) { return v.do_visit(*this); }
bool BIT_STRING::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

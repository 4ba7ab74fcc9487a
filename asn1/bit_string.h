#pragma once
// A bit count and its bytes, first bit in the most significant bit of byte 0.
#include <cstdint>
#include <vector>

#include "asn1/abstract_data.h"

namespace ASN1 {

class BIT_STRING : public ConstrainedObject {
public:
  explicit BIT_STRING(const AbstractInfo* info = &theInfo) : ConstrainedObject(info) {}
  BIT_STRING(const BIT_STRING&) = default;
  BIT_STRING& operator=(const BIT_STRING& o) { bits_ = o.bits_; bytes_ = o.bytes_; return *this; }

  unsigned size() const { return bits_; }
  void resize(unsigned bits);
  bool operator[](unsigned bit) const { return bit < bits_ && (bytes_[bit >> 3] & (0x80u >> (bit & 7))); }
  void set(unsigned bit, bool on = true);
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  // Takes `bits` bits from MSB-first bytes.
  void assign(const std::uint8_t* data, unsigned bits);

  static const ConstrainedInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new BIT_STRING(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  unsigned bits_ = 0;
  std::vector<std::uint8_t> bytes_;
};

} // namespace ASN1

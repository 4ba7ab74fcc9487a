#pragma once
// OCTET STRING is itself a byte vector.
#include <cstdint>
#include <vector>

#include "asn1/abstract_data.h"

namespace ASN1 {

class OCTET_STRING : public ConstrainedObject, public std::vector<std::uint8_t> {
public:
  using Bytes = std::vector<std::uint8_t>;
  explicit OCTET_STRING(const AbstractInfo* info = &theInfo) : ConstrainedObject(info) {}
  OCTET_STRING(std::size_t n, std::uint8_t byte, const AbstractInfo* info = &theInfo)
      : ConstrainedObject(info), Bytes(n, byte) {}
  explicit OCTET_STRING(const Bytes& bytes, const AbstractInfo* info = &theInfo)
      : ConstrainedObject(info), Bytes(bytes) {}
  OCTET_STRING(const OCTET_STRING&) = default;
  OCTET_STRING& operator=(const OCTET_STRING& o) { Bytes::operator=(o); return *this; }
  OCTET_STRING& operator=(const Bytes& o) { Bytes::operator=(o); return *this; }

  using ConstrainedObject::info;
  static const ConstrainedInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new OCTET_STRING(info); }

  static void* operator new(std::size_t bytes) { return AbstractData::operator new(bytes); }
  static void operator delete(void* p, std::size_t bytes) noexcept { AbstractData::operator delete(p, bytes); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

} // namespace ASN1

#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "asn1/abstract_data.h"

namespace ASN1 {

class OBJECT_IDENTIFIER : public AbstractData {
public:
  explicit OBJECT_IDENTIFIER(const AbstractInfo* info = &theInfo) : AbstractData(info) {}
  OBJECT_IDENTIFIER(std::initializer_list<std::uint32_t> arcs, const AbstractInfo* info = &theInfo)
      : AbstractData(info), arcs_(arcs) {}
  OBJECT_IDENTIFIER(const OBJECT_IDENTIFIER&) = default;
  OBJECT_IDENTIFIER& operator=(const OBJECT_IDENTIFIER& o) { arcs_ = o.arcs_; return *this; }

  const std::vector<std::uint32_t>& arcs() const { return arcs_; }
  std::vector<std::uint32_t>& arcs() { return arcs_; }

  // X.690 contents octets: base-128 subidentifiers, the first 40*arc0+arc1.
  std::vector<std::uint8_t> contents() const;
  // False when a subidentifier is unfinished or does not fit 32 bits.
  bool setContents(const std::uint8_t* bytes, std::size_t count);

  static const AbstractInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new OBJECT_IDENTIFIER(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  std::vector<std::uint32_t> arcs_;
};

} // namespace ASN1

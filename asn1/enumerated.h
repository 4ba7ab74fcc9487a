#pragma once
// ENUMERATED holds the numeric value (not a position). Names come from the
// descriptor's name table: each name has the previous name's value plus one
// (the first 0) unless it ends in "=N".
#include <string_view>

#include "asn1/abstract_data.h"

namespace ASN1 {

class ENUMERATED : public AbstractData {
public:
  explicit ENUMERATED(const AbstractInfo* info) : AbstractData(info) {}
  ENUMERATED(const ENUMERATED&) = default;
  ENUMERATED& operator=(const ENUMERATED& o) { value_ = o.value_; return *this; }
  ENUMERATED& operator=(int v) { value_ = v; return *this; }
  operator int() const { return value_; }
  int asInt() const { return value_; }
  void setValue(int v) { value_ = v; }

  const EnumeratedInfo* info() const { return static_cast<const EnumeratedInfo*>(AbstractData::info()); }
  // The value's name; empty when the value is negative, above the root
  // maximum, or has no name.
  std::string_view getName() const;
  bool setFromName(std::string_view name);
  int getMaximum() const { return info()->maxValue; }
  bool extendable() const { return info()->extendable; }

  static AbstractData* create(const AbstractInfo* info) { return new ENUMERATED(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

  int value_ = 0;
};

} // namespace ASN1

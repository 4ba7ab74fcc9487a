#pragma once
// NULL, BOOLEAN, INTEGER (plain, range-constrained, with named numbers).
#include <string_view>

#include "asn1/abstract_data.h"

namespace ASN1 {

class Null : public AbstractData {
public:
  explicit Null(const AbstractInfo* info = &theInfo) : AbstractData(info) {}
  static const AbstractInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new Null(info); }

protected:
  int do_compare(const AbstractData&) const override { return 0; }
  AbstractData* do_clone() const override { return info()->create(info()); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

class BOOLEAN : public AbstractData {
public:
  explicit BOOLEAN(const AbstractInfo* info = &theInfo) : AbstractData(info) {}
  BOOLEAN(bool v, const AbstractInfo* info = &theInfo) : AbstractData(info), value_(v) {}
  BOOLEAN(const BOOLEAN&) = default;
  BOOLEAN& operator=(const BOOLEAN& o) { value_ = o.value_; return *this; }
  BOOLEAN& operator=(bool v) { value_ = v; return *this; }
  operator bool() const { return value_; }
  bool getValue() const { return value_; }
  void setValue(bool v) { value_ = v; }

  static const AbstractInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new BOOLEAN(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  bool value_ = false;
};

class INTEGER : public ConstrainedObject {
public:
  explicit INTEGER(const AbstractInfo* info = &theInfo) : ConstrainedObject(info) {}
  INTEGER(int v, const AbstractInfo* info = &theInfo) : ConstrainedObject(info), value_(v) {}
  INTEGER(const INTEGER&) = default;
  INTEGER& operator=(const INTEGER& o) { value_ = o.value_; return *this; }
  INTEGER& operator=(int v) { value_ = v; return *this; }
  operator int() const { return value_; }
  int getValue() const { return value_; }
  void setValue(int v) { value_ = v; }

  static const ConstrainedInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new INTEGER(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

  int value_ = 0;
};

// One class per distinct range; reads back as unsigned, as wide ranges
// such as 0..4294967295 need.
template <int kind, int lower, unsigned upper>
class Constrained_INTEGER : public INTEGER {
public:
  explicit Constrained_INTEGER(const AbstractInfo* info = &theInfo) : INTEGER(info) {}
  Constrained_INTEGER(unsigned v, const AbstractInfo* info = &theInfo) : INTEGER(int(v), info) {}
  Constrained_INTEGER(const Constrained_INTEGER&) = default;
  Constrained_INTEGER& operator=(const Constrained_INTEGER& o) { value_ = o.value_; return *this; }
  Constrained_INTEGER& operator=(unsigned v) { value_ = int(v); return *this; }
  unsigned getValue() const { return unsigned(value_); }

  static const ConstrainedInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new Constrained_INTEGER(info); }
};

template <int kind, int lower, unsigned upper>
constinit const ConstrainedInfo Constrained_INTEGER<kind, lower, upper>::theInfo = {
    {&Constrained_INTEGER::create, 2}, kind, lower, upper};

class IntegerWithNamedNumber : public INTEGER {
public:
  explicit IntegerWithNamedNumber(const AbstractInfo* info) : INTEGER(info) {}
  IntegerWithNamedNumber(const IntegerWithNamedNumber&) = default;
  IntegerWithNamedNumber& operator=(const IntegerWithNamedNumber& o) { value_ = o.value_; return *this; }
  IntegerWithNamedNumber& operator=(int v) { value_ = v; return *this; }
  const IntegerWithNamedNumberInfo* info() const {
    return static_cast<const IntegerWithNamedNumberInfo*>(AbstractData::info());
  }
  // The name of the value's number, or an empty view when it has none.
  std::string_view getName() const;
  bool setFromName(std::string_view name);

  static AbstractData* create(const AbstractInfo* info) { return new IntegerWithNamedNumber(info); }

protected:
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

} // namespace ASN1

#pragma once
// Root of every ASN.1 value: a pointer to the type's descriptor, set at
// construction and never changed, plus the virtual operations every kind
// implements (compare, clone, accept for both visitor kinds).
#include <concepts>
#include <cstddef>
#include <ios>
#include <string>

#include "asn1/descriptors.h"
#include "asn1/value_pool.h"

namespace ASN1 {

class Visitor;
class ConstVisitor;

class AbstractData {
public:
  virtual ~AbstractData() = default;

  const AbstractInfo* info() const { return info_; }
  AbstractData* clone() const { return do_clone(); }
  // Only meaningful between values of the same type.
  int compare(const AbstractData& other) const { return do_compare(other); }
  bool accept(Visitor& v) { return do_accept(v); }
  bool accept(ConstVisitor& v) const { return do_accept(v); }

  // Value notation: 0 on success, failbit when the print failed.
  std::ios_base::iostate print_on(std::ostream& os) const;
  std::string asValueNotation() const;

  static void* operator new(std::size_t bytes) { return ValuePool::allocate(bytes); }
  static void operator delete(void* p, std::size_t bytes) noexcept { ValuePool::release(p, bytes); }

protected:
  explicit AbstractData(const AbstractInfo* info) : info_(info) {}
  AbstractData(const AbstractData&) = default;
  // Assignment copies the value only; the descriptor stays.
  AbstractData& operator=(const AbstractData&) { return *this; }

  virtual int do_compare(const AbstractData& other) const = 0;
  virtual AbstractData* do_clone() const = 0;
  virtual bool do_accept(Visitor& v) = 0;
  virtual bool do_accept(ConstVisitor& v) const = 0;

private:
  const AbstractInfo* info_;
};

// A value whose descriptor carries a range or size constraint.
class ConstrainedObject : public AbstractData {
public:
  const ConstrainedInfo* info() const { return static_cast<const ConstrainedInfo*>(AbstractData::info()); }

protected:
  using AbstractData::AbstractData;
};

// The factory every descriptor stores: a default value of type T.
template <class T>
AbstractData* createValue(const AbstractInfo* info) {
  return new T(info);
}

// Clone for classes whose generated subclasses add no data: the descriptor's
// factory makes the right dynamic type, assignment copies the contents.
template <class T>
AbstractData* cloneByAssign(const T& self) {
  auto* copy = static_cast<T*>(self.info()->create(self.info()));
  *copy = self;
  return copy;
}

// The value a const accessor shows for a component or alternative that is
// not there.
template <class T>
const T& defaultValue() {
  static const T value;
  return value;
}

// Equality of two values of one type (a plain number on either side
// compares as a number instead).
template <class A, class B>
  requires std::derived_from<A, AbstractData> && std::derived_from<B, AbstractData>
bool operator==(const A& a, const B& b) {
  return a.compare(b) == 0;
}

std::ostream& operator<<(std::ostream& os, const AbstractData& value);

} // namespace ASN1

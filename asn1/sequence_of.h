#pragma once
// SEQUENCE OF / SET OF: owned element values made from the element type's
// descriptor. SEQUENCE_OF<T> and SET_OF<T> add typed access.
#include <cstddef>
#include <iterator>
#include <vector>

#include "asn1/abstract_data.h"

namespace ASN1 {

class SEQUENCE_OF_Base : public ConstrainedObject {
public:
  explicit SEQUENCE_OF_Base(const AbstractInfo* info) : ConstrainedObject(info) {}
  SEQUENCE_OF_Base(const SEQUENCE_OF_Base& other);
  SEQUENCE_OF_Base& operator=(const SEQUENCE_OF_Base& other);
  ~SEQUENCE_OF_Base() override { clear(); }

  const SequenceOfInfo* info() const { return static_cast<const SequenceOfInfo*>(AbstractData::info()); }

  std::size_t size() const { return elements_.size(); }
  bool empty() const { return elements_.empty(); }
  // Drops (deletes) elements past n or appends default ones.
  void resize(std::size_t n);
  // Takes ownership of value.
  void insert(std::size_t pos, AbstractData* value);
  void erase(std::size_t first, std::size_t last);
  void erase(std::size_t pos) { erase(pos, pos + 1); }
  void clear();
  AbstractData& element(std::size_t i) { return *elements_[i]; }
  const AbstractData& element(std::size_t i) const { return *elements_[i]; }

  static AbstractData* create(const AbstractInfo* info) { return new SEQUENCE_OF_Base(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

  std::vector<AbstractData*> elements_;
};

struct EmptyConstraint {};

template <class T>
class ElementIterator {
public:
  using Base = std::vector<AbstractData*>::const_iterator;
  using iterator_category = std::random_access_iterator_tag;
  using value_type = T;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;

  ElementIterator() = default;
  explicit ElementIterator(Base it) : it_(it) {}
  T& operator*() const { return static_cast<T&>(**it_); }
  T* operator->() const { return static_cast<T*>(*it_); }
  ElementIterator& operator++() { ++it_; return *this; }
  ElementIterator operator++(int) { auto c = *this; ++it_; return c; }
  ElementIterator& operator--() { --it_; return *this; }
  ElementIterator& operator+=(difference_type n) { it_ += n; return *this; }
  ElementIterator operator+(difference_type n) const { return ElementIterator(it_ + n); }
  difference_type operator-(const ElementIterator& o) const { return it_ - o.it_; }
  bool operator==(const ElementIterator& o) const { return it_ == o.it_; }
  bool operator!=(const ElementIterator& o) const { return it_ != o.it_; }

private:
  Base it_;
};

template <class T>
class TypedCollection : public SEQUENCE_OF_Base {
public:
  using value_type = T;
  using iterator = ElementIterator<T>;
  using const_iterator = ElementIterator<const T>;

  explicit TypedCollection(const AbstractInfo* info) : SEQUENCE_OF_Base(info) {}
  TypedCollection(const TypedCollection&) = default;
  TypedCollection& operator=(const TypedCollection&) = default;

  void push_back(const T& value) { elements_.push_back(value.clone()); }
  T& operator[](std::size_t i) { return static_cast<T&>(*elements_[i]); }
  const T& operator[](std::size_t i) const { return static_cast<const T&>(*elements_[i]); }
  T& back() { return static_cast<T&>(*elements_.back()); }
  iterator begin() { return iterator(elements_.cbegin()); }
  iterator end() { return iterator(elements_.cend()); }
  const_iterator begin() const { return const_iterator(elements_.cbegin()); }
  const_iterator end() const { return const_iterator(elements_.cend()); }
  using SEQUENCE_OF_Base::erase;
  iterator erase(iterator pos) {
    const auto i = std::size_t(pos - begin());
    SEQUENCE_OF_Base::erase(i);
    return begin() + std::ptrdiff_t(i);
  }
};

template <class T, class Constraint = EmptyConstraint>
class SEQUENCE_OF : public TypedCollection<T> {
public:
  explicit SEQUENCE_OF(const AbstractInfo* info = &theInfo) : TypedCollection<T>(info) {}
  static const SequenceOfInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new SEQUENCE_OF(info); }
};

template <class T, class Constraint>
constinit const SequenceOfInfo SEQUENCE_OF<T, Constraint>::theInfo = {
    {{&SEQUENCE_OF::create, 16}, Unconstrained, 0, NoUpperBound}, &T::theInfo};

template <class T, class Constraint = EmptyConstraint>
class SET_OF : public TypedCollection<T> {
public:
  explicit SET_OF(const AbstractInfo* info = &theInfo) : TypedCollection<T>(info) {}
  static const SequenceOfInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new SET_OF(info); }
};

template <class T, class Constraint>
constinit const SequenceOfInfo SET_OF<T, Constraint>::theInfo = {
    {{&SET_OF::create, 17}, Unconstrained, 0, NoUpperBound}, &T::theInfo};

} // namespace ASN1

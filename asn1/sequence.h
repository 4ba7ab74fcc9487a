#pragma once
// SEQUENCE: one owned slot per root component and per known extension
// addition, the optional-component map and the extension-addition map.
// Optional components and extension additions share one bit numbering:
// bits 0..optionalCount-1 are the optional map, optionalCount+k is addition k.
#include "asn1/abstract_data.h"
#include "asn1/bit_map.h"

namespace ASN1 {

// Component slots; up to six live inside the SEQUENCE object.
class FieldVector {
public:
  explicit FieldVector(unsigned count);
  FieldVector(const FieldVector&) = delete;
  FieldVector& operator=(const FieldVector&) = delete;
  ~FieldVector();

  unsigned size() const { return count_; }
  AbstractData*& operator[](unsigned i) { return slots_[i]; }
  AbstractData* operator[](unsigned i) const { return slots_[i]; }

private:
  static constexpr unsigned InlineSlots = 6;
  unsigned count_;
  AbstractData** slots_;
  AbstractData* inline_[InlineSlots];
};

class SEQUENCE : public AbstractData {
public:
  explicit SEQUENCE(const AbstractInfo* info);
  SEQUENCE(const SEQUENCE& other);
  SEQUENCE& operator=(const SEQUENCE& other);

  const SequenceInfo* info() const { return static_cast<const SequenceInfo*>(AbstractData::info()); }

  bool hasOptionalField(unsigned bit) const {
    return bit < optionalMap_.size() ? optionalMap_.test(bit) : extensionMap_.test(bit - optionalMap_.size());
  }
  // Sets the bit and makes a default value in the component's slot if it is
  // empty; an existing value stays.
  void includeOptionalField(unsigned bit, unsigned index);
  // Clears the bit only: the value stays and comes back when included again.
  void removeOptionalField(unsigned bit);

  unsigned fieldCount() const { return fields_.size(); }
  AbstractData* getField(unsigned index) { return index < fields_.size() ? fields_[index] : nullptr; }
  const AbstractData* getField(unsigned index) const { return index < fields_.size() ? fields_[index] : nullptr; }
  // The component's value, made from its descriptor when the slot is empty.
  AbstractData& fieldOrCreate(unsigned index);
  // Whether component `index` takes part in encoding, printing and compare.
  bool isPresent(unsigned index) const;

  const BitMap& optionalMap() const { return optionalMap_; }
  BitMap& optionalMap() { return optionalMap_; }
  const BitMap& extensionMap() const { return extensionMap_; }
  BitMap& extensionMap() { return extensionMap_; }

  // Typed access for generated classes; C names a component: C::value_type,
  // C::index and C::optionalBit (-1 when mandatory).
  template <class C>
  typename C::value_type& componentAs() {
    return static_cast<typename C::value_type&>(fieldOrCreate(C::index));
  }
  template <class C>
  const typename C::value_type& componentAs() const {
    const AbstractData* f = getField(C::index);
    return f ? static_cast<const typename C::value_type&>(*f) : defaultValue<typename C::value_type>();
  }
  template <class C>
  void setComponent(const typename C::value_type& v) {
    componentAs<C>() = v;
    if constexpr (C::optionalBit >= 0) includeOptionalField(C::optionalBit, C::index);
  }
  template <class C>
  bool hasComponent() const {
    if constexpr (C::optionalBit < 0)
      return true;
    else
      return hasOptionalField(C::optionalBit);
  }

  static AbstractData* create(const AbstractInfo* info) { return new SEQUENCE(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  FieldVector fields_;
  BitMap optionalMap_;
  BitMap extensionMap_;
};

} // namespace ASN1

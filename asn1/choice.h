#pragma once
// CHOICE: the index of the chosen alternative (-1 none chosen, -2 unknown)
// and the owned value of that alternative.
#include "asn1/abstract_data.h"

namespace ASN1 {

class CHOICE : public AbstractData {
public:
  enum : int { unselected_ = -1, unknownSelection_ = -2 };

  explicit CHOICE(const AbstractInfo* info) : AbstractData(info) {}
  CHOICE(const CHOICE& other);
  CHOICE& operator=(const CHOICE& other); // deep copy of the alternative
  ~CHOICE() override { delete choice_; }

  const ChoiceInfo* info() const { return static_cast<const ChoiceInfo*>(AbstractData::info()); }
  int selection() const { return selection_; }
  // Takes ownership of value, deletes the previous alternative; returns value.
  AbstractData* setSelection(int index, AbstractData* value);
  // Replaces the alternative by a default value of alternative `selection`;
  // false (and selection -2, no value) when there is no such alternative.
  bool createSelection();
  // Chooses `index` with a default value (keeps the value when already chosen).
  bool select(int index);
  AbstractData* alternative() { return choice_; }
  const AbstractData* alternative() const { return choice_; }
  const char* selectionName() const;

  // Typed access for generated classes; C names an alternative: C::value_type
  // and C::index. The non-const form chooses the alternative if needed.
  template <class C>
  typename C::value_type& alternativeAs() {
    select(C::index);
    return static_cast<typename C::value_type&>(*choice_);
  }
  template <class C>
  const typename C::value_type& alternativeAs() const {
    return selection_ == C::index && choice_ ? static_cast<const typename C::value_type&>(*choice_)
                                             : defaultValue<typename C::value_type>();
  }
  template <class C>
  void setAlternative(const typename C::value_type& v) {
    alternativeAs<C>() = v;
  }

  static AbstractData* create(const AbstractInfo* info) { return new CHOICE(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  int selection_ = unselected_;
  AbstractData* choice_ = nullptr;
};

} // namespace ASN1

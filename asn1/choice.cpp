#include "asn1/choice.h"

#include "asn1/visitors.h"

namespace ASN1 {

CHOICE::CHOICE(const CHOICE& other)
    : AbstractData(other), selection_(other.selection_), choice_(other.choice_ ? other.choice_->clone() : nullptr) {}

CHOICE& CHOICE::operator=(const CHOICE& other) {
  if (this != &other) {
    AbstractData* copy = other.choice_ ? other.choice_->clone() : nullptr;
    delete choice_;
    choice_ = copy;
    selection_ = other.selection_;
  }
  return *this;
}

AbstractData* CHOICE::setSelection(int index, AbstractData* value) {
  if (value != choice_) delete choice_;
  choice_ = value;
  selection_ = index;
  return value;
}

bool CHOICE::createSelection() {
  delete choice_;
  choice_ = nullptr;
  const ChoiceInfo* ci = info();
  if (selection_ < 0 || unsigned(selection_) >= ci->totalCount || !ci->selectionInfos[selection_]) {
    selection_ = unknownSelection_;
    return false;
  }
  const AbstractInfo* alt = ci->selectionInfos[selection_];
  choice_ = alt->create(alt);
  return true;
}

bool CHOICE::select(int index) {
  if (index == selection_ && choice_) return true;
  selection_ = index;
  return createSelection();
}

const char* CHOICE::selectionName() const {
  if (selection_ < 0 || unsigned(selection_) >= info()->totalCount) return nullptr;
  return info()->selectionNames[selection_];
}

int CHOICE::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const CHOICE&>(other);
  if (selection_ < 0 || selection_ != o.selection_) return selection_ - o.selection_;
  if (!choice_ || !o.choice_) return int(choice_ != nullptr) - int(o.choice_ != nullptr);
  return choice_->compare(*o.choice_);
}
bool CHOICE::do_accept(Visitor& v) { return v.do_visit(*this); }
bool CHOICE::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1

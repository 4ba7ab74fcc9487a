#include "asn1/sequence.h"

#include "asn1/visitors.h"

namespace ASN1 {

FieldVector::FieldVector(unsigned count) : count_(count) {
  slots_ = count <= InlineSlots ? inline_ : new AbstractData*[count];
  for (unsigned i = 0; i < count; ++i) slots_[i] = nullptr;
}

FieldVector::~FieldVector() {
  for (unsigned i = 0; i < count_; ++i) delete slots_[i];
  if (slots_ != inline_) delete[] slots_;
}

namespace {
unsigned slotCount(const AbstractInfo* info) {
  const auto* si = static_cast<const SequenceInfo*>(info);
  return si->rootCount + si->knownExtensions;
}
} // namespace

SEQUENCE::SEQUENCE(const AbstractInfo* ai) : AbstractData(ai), fields_(slotCount(ai)), optionalMap_(info()->optionalCount) {
  const SequenceInfo* si = info();
  for (unsigned i = 0; i < si->rootCount; ++i)
    if (si->fieldIds[i] < 0) fields_[i] = si->fieldInfos[i]->create(si->fieldInfos[i]);
  if (si->mandatoryExtensions) {
    extensionMap_.assign(si->mandatoryExtensions, si->knownExtensions);
    for (unsigned k = 0; k < si->knownExtensions; ++k)
      if (extensionMap_.test(k)) {
        const AbstractInfo* fi = si->fieldInfos[si->rootCount + k];
        fields_[si->rootCount + k] = fi->create(fi);
      }
  }
}

SEQUENCE::SEQUENCE(const SEQUENCE& other)
    : AbstractData(other), fields_(other.fields_.size()), optionalMap_(other.optionalMap_),
      extensionMap_(other.extensionMap_) {
  for (unsigned i = 0; i < fields_.size(); ++i)
    if (other.fields_[i]) fields_[i] = other.fields_[i]->clone();
}

SEQUENCE& SEQUENCE::operator=(const SEQUENCE& other) {
  if (this == &other) return *this;
  const unsigned n = fields_.size() < other.fields_.size() ? fields_.size() : other.fields_.size();
  for (unsigned i = 0; i < n; ++i) {
    AbstractData* copy = other.fields_[i] ? other.fields_[i]->clone() : nullptr;
    delete fields_[i];
    fields_[i] = copy;
  }
  optionalMap_ = other.optionalMap_;
  extensionMap_ = other.extensionMap_;
  return *this;
}

void SEQUENCE::includeOptionalField(unsigned bit, unsigned index) {
  const SequenceInfo* si = info();
  if (index >= fields_.size()) return;
  if (bit < si->optionalCount) {
    optionalMap_.set(bit);
  } else {
    const unsigned k = bit - si->optionalCount;
    if (k >= si->knownExtensions) return; // no such addition: nothing to grow for
    if (k >= extensionMap_.size()) extensionMap_.resize(k + 1);
    extensionMap_.set(k);
  }
  fieldOrCreate(index);
}

void SEQUENCE::removeOptionalField(unsigned bit) {
  if (bit < optionalMap_.size())
    optionalMap_.clear(bit);
  else
    extensionMap_.clear(bit - optionalMap_.size());
}

AbstractData& SEQUENCE::fieldOrCreate(unsigned index) {
  AbstractData*& slot = fields_[index];
  if (!slot) {
    const AbstractInfo* fi = info()->fieldInfos[index];
    slot = fi->create(fi);
  }
  return *slot;
}

bool SEQUENCE::isPresent(unsigned index) const {
  const SequenceInfo* si = info();
  if (index >= fields_.size() || !fields_[index]) return false;
  if (index < si->rootCount) return si->fieldIds[index] < 0 || optionalMap_.test(unsigned(si->fieldIds[index]));
  return extensionMap_.test(index - si->rootCount);
}

int SEQUENCE::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const SEQUENCE&>(other);
  for (unsigned i = 0; i < fields_.size(); ++i) {
    const bool mine = isPresent(i), theirs = o.isPresent(i);
    if (mine && theirs) {
      if (const int r = fields_[i]->compare(*o.fields_[i])) return r;
    } else if (mine != theirs) {
      return int(mine) - int(theirs);
    }
  }
  return 0;
}

bool SEQUENCE::do_accept(ConstVisitor& v) const {
  const SequenceInfo* si = info();
  if (!v.preVisitExtensionRoots(*this)) return false;
  for (unsigned i = 0; i < si->rootCount; ++i)
    if ((si->fieldIds[i] < 0 || optionalMap_.test(unsigned(si->fieldIds[i]))) && !v.visitExtensionRoot(*this, int(i)))
      return false;
  if (extensionMap_.any()) {
    if (!v.preVisitExtensions(*this)) return false;
    for (unsigned k = 0; k < si->knownExtensions; ++k)
      if (extensionMap_.test(k) && !v.visitKnownExtension(*this, int(si->rootCount + k))) return false;
  }
  return v.afterVisitSequence(*this);
}

bool SEQUENCE::do_accept(Visitor& v) {
  const SequenceInfo* si = info();
  const Visitor::VisitSeqResult r = v.preVisitExtensionRoots(*this);
  if (r == Visitor::FAIL || r == Visitor::STOP) return r == Visitor::STOP;
  for (unsigned i = 0; i < si->rootCount; ++i) {
    const Visitor::VisitSeqResult c = v.visitExtensionRoot(*this, int(i), si->fieldIds[i]);
    if (c == Visitor::FAIL || c == Visitor::STOP) return c == Visitor::STOP;
  }
  if (r != Visitor::CONTINUE) return true;
  Visitor::VisitSeqResult c = v.preVisitExtensions(*this);
  if (c != Visitor::CONTINUE) return c != Visitor::FAIL;
  for (unsigned k = 0; k < si->knownExtensions; ++k) {
    c = v.visitKnownExtension(*this, int(si->rootCount + k), int(si->optionalCount + k));
    if (c != Visitor::CONTINUE) return c != Visitor::FAIL;
  }
  return v.visitUnknownExtensions(*this);
}

} // namespace ASN1

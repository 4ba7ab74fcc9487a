#include "asn1/open_data.h"

#include "asn1/visitors.h"

namespace ASN1 {

constinit const AbstractInfo OpenData::theInfo = {&OpenData::create, 0};

OpenData::OpenData(const OpenData& other)
    : AbstractData(other), data_(other.data_ ? other.data_->clone() : nullptr),
      buf_(other.buf_ ? static_cast<OCTET_STRING*>(other.buf_->clone()) : nullptr) {}

OpenData& OpenData::operator=(const OpenData& other) {
  if (this != &other) {
    data_.reset(other.data_ ? other.data_->clone() : nullptr);
    buf_.reset(other.buf_ ? static_cast<OCTET_STRING*>(other.buf_->clone()) : nullptr);
  }
  return *this;
}

int OpenData::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const OpenData&>(other);
  if (data_ && o.data_) return data_->compare(*o.data_);
  if (buf_ && o.buf_) return buf_->compare(*o.buf_);
  if (!data_ && !buf_ && !o.data_ && !o.buf_) return 0;
  return data_ ? 1 : -1;
}
bool OpenData::do_accept(Visitor& v) { return v.do_visit(*this); }
bool OpenData::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }
bool TypeConstrainedOpenData::do_accept(Visitor& v) { return v.do_visit(*this); }

} // namespace ASN1

#pragma once
// An open type: a decoded value and/or the raw contents octets it came in.
#include <memory>

#include "asn1/abstract_data.h"
#include "asn1/octet_string.h"

namespace ASN1 {

class OpenData : public AbstractData {
public:
  explicit OpenData(const AbstractInfo* info = &theInfo) : AbstractData(info) {}
  OpenData(const OpenData& other);
  OpenData& operator=(const OpenData& other);

  bool has_data() const { return data_ != nullptr; }
  bool has_buf() const { return buf_ != nullptr; }
  AbstractData* get_data() { return data_.get(); }
  const AbstractData* get_data() const { return data_.get(); }
  OCTET_STRING* get_buf() { return buf_.get(); }
  const OCTET_STRING* get_buf() const { return buf_.get(); }
  // Both take ownership.
  void grab(AbstractData* value) { data_.reset(value); }
  void grab(OCTET_STRING* raw) { buf_.reset(raw); }

  static const AbstractInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new OpenData(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;

private:
  std::unique_ptr<AbstractData> data_;
  std::unique_ptr<OCTET_STRING> buf_;
};

// An open type whose value must be of the one type its descriptor names.
class TypeConstrainedOpenData : public OpenData {
public:
  explicit TypeConstrainedOpenData(const AbstractInfo* info) : OpenData(info) {}
  const TypeConstrainedOpenDataInfo* info() const {
    return static_cast<const TypeConstrainedOpenDataInfo*>(AbstractData::info());
  }
  static AbstractData* create(const AbstractInfo* info) { return new TypeConstrainedOpenData(info); }

protected:
  bool do_accept(Visitor& v) override;
};

} // namespace ASN1

#pragma once
#include <ctime>
#include <string>

#include "asn1/abstract_data.h"

namespace ASN1 {

class GeneralizedTime : public AbstractData {
public:
  explicit GeneralizedTime(const AbstractInfo* info = &theInfo) : AbstractData(info) {}
  GeneralizedTime(const GeneralizedTime&) = default;
  GeneralizedTime& operator=(const GeneralizedTime& o);

  // "YYYYMMDDhhmmss" [".fff"] ["Z" | "+hhmm" | "-hhmm"]; set() is false when
  // the six date and time fields are not there.
  bool set(const std::string& text);
  std::string get() const;
  std::time_t get_time_t() const;
  void set_time_t(std::time_t t);

  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisec = 0;
  int mindiff = 0; // offset from UTC in minutes
  bool utc = false;

  static const AbstractInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new GeneralizedTime(info); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

} // namespace ASN1

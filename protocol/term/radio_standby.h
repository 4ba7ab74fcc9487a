#pragma once
// TERM's RadioStandby, written by hand: the schema compiler refuses its
// negative value (not-use = -1). Its descriptor is what the compiler would
// make of
//   RadioStandby ::= ENUMERATED { not-use(-1), active(0), standby(1) }
// and the class is reached as TERM::RadioStandby like every other TERM type.
// A value of -1 can be held and printed but not encoded: PER sends 0..1.
#include "asn1/values.h"

namespace TERM_HANDWRITTEN {

class RadioStandby : public ASN1::ENUMERATED {
public:
  explicit RadioStandby(const ASN1::AbstractInfo* info = &theInfo) : ASN1::ENUMERATED(info) {}
  static ASN1::AbstractData* create(const ASN1::AbstractInfo* info) { return new RadioStandby(info); }
  static const ASN1::EnumeratedInfo theInfo;
  enum Value { not_use = -1, active = 0, standby = 1 };
  RadioStandby(Value v) : ASN1::ENUMERATED(&theInfo) { setValue(v); }
  RadioStandby& operator=(Value v) {
    setValue(v);
    return *this;
  }
  static const char* const enumNames[];
};

} // namespace TERM_HANDWRITTEN

namespace TERM {
using RadioStandby = TERM_HANDWRITTEN::RadioStandby;
}

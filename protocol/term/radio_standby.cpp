#include "protocol/term/radio_standby.h"

namespace TERM_HANDWRITTEN {

constinit const char* const RadioStandby::enumNames[] = {"not-use=-1", "active", "standby"};
constinit const ASN1::EnumeratedInfo RadioStandby::theInfo = {
    {&RadioStandby::create, 10}, false, 1, RadioStandby::enumNames, 3};

} // namespace TERM_HANDWRITTEN

#include "asn1/coder_env.h"

#include <sstream>

#include "asn1/avn_encoder.h"
#include "asn1/per_decoder.h"
#include "asn1/per_encoder.h"

namespace ASN1 {

bool CoderEnv::encodeTo(const AbstractData& value, ByteBuffer& scratch) const {
  switch (encodingRule) {
  case avn: {
    std::ostringstream text;
    AVNEncoder printer(text);
    if (!value.accept(printer)) return false;
    const std::string s = text.str();
    scratch.append(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    return true;
  }
  case per_Aligned:
  case per_Unaligned: {
    PEREncoder encoder(scratch, encodingRule == per_Aligned);
    return value.accept(encoder);
  }
  default: // BER is never selected by the gateway and is not provided
    return false;
  }
}

bool CoderEnv::decodeBytes(const std::uint8_t* first, const std::uint8_t* last, AbstractData& value,
                           bool keepNoReference) const {
  if (encodingRule != per_Aligned && encodingRule != per_Unaligned) return false;
  PERDecoder decoder(first, last, encodingRule == per_Aligned, keepNoReference ? nullptr : this);
  return value.accept(decoder);
}

} // namespace ASN1

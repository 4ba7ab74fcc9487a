#include "asn1/per_decoder.h"

#include <string>
#include <vector>

#include "asn1/per_encoder.h"
#include "asn1/values.h"

namespace ASN1 {

bool PERDecoder::decodeConstrainedWholeNumber(std::int64_t lower, std::int64_t upper, std::int64_t& v) {
  if (lower == upper) {
    v = lower;
    return true;
  }
  if (upper < lower) return false;
  const std::uint64_t range = std::uint64_t(upper - lower);
  if (range > 0xFFFFFFFFull) return false;
  const unsigned k = CountBits((range + 1) & 0xFFFFFFFFull);
  std::uint32_t offset = 0;
  if (aligned_ && range > 254) {
    if (k > 16) {
      std::int64_t octets = 0;
      if (!decodeConstrainedWholeNumber(1, (k + 7) / 8, octets)) return false;
      bits_.align();
      if (!bits_.getBits(unsigned(octets) * 8, offset)) return false;
    } else {
      bits_.align();
      if (!bits_.getBits(k > 8 ? 16 : 8, offset)) return false;
    }
  } else if (!bits_.getBits(k, offset)) {
    return false;
  }
  // Bit patterns beyond the range belong to no value of the type.
  if (offset > range) return false;
  v = lower + std::int64_t(offset);
  return true;
}

bool PERDecoder::decodeNormallySmallNumber(std::uint32_t& n) {
  if (!bits_.getBit()) return bits_.getBits(6, n);
  std::uint32_t octets = 0;
  if (!decodeGeneralLength(octets) || octets == 0 || octets > 4) return false;
  bits_.align();
  return bits_.getBits(octets * 8, n);
}

bool PERDecoder::decodeGeneralLength(std::uint32_t& len) {
  bits_.align();
  std::uint32_t first = 0;
  if (!bits_.getBits(8, first)) return false;
  if (!(first & 0x80)) {
    len = first;
    return true;
  }
  if (first & 0x40) return false; // fragmented lengths are not supported
  std::uint32_t second = 0;
  if (!bits_.getBits(8, second)) return false;
  len = ((first & 0x3F) << 8) | second;
  return true;
}

bool PERDecoder::decodeLengthDeterminant(std::uint32_t lower, std::uint32_t upper, std::uint32_t& len) {
  if (!aligned_ && upper != 2147483647u) {
    std::uint32_t offset = 0;
    if (!bits_.getBits(CountBits(std::uint64_t(upper - lower) + 1), offset)) return false;
    if (offset > upper - lower) return false;
    len = lower + offset;
    return true;
  }
  if (upper <= 65535) {
    std::int64_t v = 0;
    if (!decodeConstrainedWholeNumber(lower, upper, v)) return false;
    len = std::uint32_t(v);
    return true;
  }
  return decodeGeneralLength(len) && len >= lower && len <= upper;
}

bool PERDecoder::decodeSize(const ConstrainedInfo* info, std::uint32_t& len) {
  const std::uint32_t lower = std::uint32_t(info->lowerBound < 0 ? 0 : info->lowerBound);
  switch (info->constraintKind) {
  case Fixed:
    return decodeLengthDeterminant(lower, info->upperBound, len);
  case Extensible:
    if (bits_.getBit()) return decodeLengthDeterminant(0, 2147483647u, len);
    return decodeLengthDeterminant(lower, info->upperBound, len);
  case LowerBoundOnly:
    return decodeLengthDeterminant(0, 2147483647u, len) && len >= lower;
  default:
    return decodeLengthDeterminant(0, 2147483647u, len);
  }
}

bool PERDecoder::decodeOpenTypeContents(AbstractData& value, std::uint32_t len) {
  bits_.align();
  const std::uint8_t* start = bits_.position();
  const std::uint8_t* outerEnd = bits_.end();
  const std::uint8_t* stop = std::size_t(outerEnd - start) < len ? outerEnd : start + len;
  // The contents are decoded on their own: in the aligned variant, and never
  // reading past their own length.
  const bool outerAligned = aligned_;
  aligned_ = true;
  bits_.setEnd(stop);
  const bool ok = value.accept(*this);
  bits_.setEnd(outerEnd);
  aligned_ = outerAligned;
  bits_.seek(stop);
  return ok;
}

bool PERDecoder::do_visit(Null&) { return true; }

bool PERDecoder::do_visit(BOOLEAN& value) {
  if (bits_.atEnd()) return false;
  value.setValue(bits_.getBit());
  return true;
}

bool PERDecoder::do_visit(INTEGER& value) {
  const ConstrainedInfo* ci = value.info();
  std::int64_t v = 0;
  bool unconstrainedForm = ci->constraintKind == Unconstrained || ci->constraintKind == LowerBoundOnly;
  if (ci->constraintKind == Extensible) unconstrainedForm = bits_.getBit();
  if (!unconstrainedForm) {
    if (!decodeConstrainedWholeNumber(ci->lowerBound, upperBoundOf(ci), v)) return false;
    value.setValue(std::int32_t(std::uint32_t(v)));
    return true;
  }
  std::uint32_t octets = 0, raw = 0;
  if (!decodeGeneralLength(octets) || octets == 0 || octets > 4) return false;
  if (!bits_.getBits(octets * 8, raw)) return false;
  // A non-negative lower bound means the value was sent without a sign.
  const bool isSigned = !(ci->constraintKind == LowerBoundOnly && ci->lowerBound >= 0);
  if (isSigned && octets < 4 && (raw >> (octets * 8 - 1)) & 1u) raw |= ~0u << (octets * 8);
  const std::int32_t result = std::int32_t(raw);
  if (ci->constraintKind == LowerBoundOnly &&
      (isSigned ? std::int64_t(result) : std::int64_t(raw)) < ci->lowerBound)
    return false;
  if (!isSigned && (raw >> 31)) return false; // does not fit the signed value it is kept in
  value.setValue(result);
  return true;
}

bool PERDecoder::do_visit(ENUMERATED& value) {
  const EnumeratedInfo* ei = value.info();
  std::int64_t v = 0;
  if (ei->extendable && bits_.getBit()) {
    std::uint32_t n = 0;
    if (!decodeNormallySmallNumber(n)) return false;
    if (n != 0) {
      if (!decodeConstrainedWholeNumber(0, std::int64_t(n) - 1, v) || v > 2147483647) return false;
      value.setValue(std::int32_t(v));
      return true;
    }
  }
  if (!decodeConstrainedWholeNumber(0, ei->maxValue, v)) return false;
  value.setValue(std::int32_t(v));
  return true;
}

bool PERDecoder::do_visit(OBJECT_IDENTIFIER& value) {
  std::int64_t len = 0;
  if (!decodeConstrainedWholeNumber(0, 255, len)) return false;
  const std::uint8_t* contents = bits_.takeOctets(std::size_t(len));
  return contents && value.setContents(contents, std::size_t(len));
}

bool PERDecoder::do_visit(OCTET_STRING& value) {
  std::uint32_t n = 0;
  if (!decodeSize(value.info(), n) || n > MaximumStringSize) return false;
  if (n <= 2) {
    std::uint32_t b[2] = {0, 0};
    for (std::uint32_t i = 0; i < n; ++i)
      if (!bits_.getBits(8, b[i])) return false;
    value.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) value[i] = std::uint8_t(b[i]);
    return true;
  }
  const std::uint8_t* bytes = bits_.takeOctets(n);
  if (!bytes) return false;
  value.assign(bytes, bytes + n);
  return true;
}

bool PERDecoder::do_visit(BIT_STRING& value) {
  std::uint32_t n = 0;
  if (!decodeSize(value.info(), n) || n > MaximumStringSize) return false;
  if (n == 0) {
    value.resize(0);
    return true;
  }
  if (aligned_ && n > 16) {
    const std::uint8_t* bytes = bits_.takeOctets((n + 7) / 8);
    if (!bytes) return false;
    value.assign(bytes, n);
    return true;
  }
  if (bits_.bitsAvailable() < n) return false;
  std::vector<std::uint8_t> bytes((n + 7) / 8);
  for (std::uint32_t i = 0; i < n; i += 8) {
    const unsigned chunk = n - i < 8 ? n - i : 8;
    std::uint32_t v = 0;
    if (!bits_.getBits(chunk, v)) return false;
    bytes[i / 8] = std::uint8_t(v << (8 - chunk));
  }
  value.assign(bytes.data(), n);
  return true;
}

bool PERDecoder::do_visit(AbstractString& value) {
  const CharacterStringInfo* si = value.info();
  std::uint32_t n = 0;
  if (!decodeSize(si, n) || n > MaximumStringSize) return false;
  const unsigned b = aligned_ ? si->alignedBits : si->unalignedBits;
  if (si->constraintKind == Unconstrained || std::uint64_t(b) * si->upperBound > 16) {
    if (b == 8) {
      const std::uint8_t* bytes = bits_.takeOctets(n);
      if (!bytes) return false;
      value.assign(reinterpret_cast<const char*>(bytes), n);
      return true;
    }
    if (aligned_) bits_.align();
  }
  if (bits_.bitsAvailable() < std::uint64_t(n) * b) return false;
  const bool byPosition = b < si->canonicalBits || si->canonicalBits < 5;
  value.resize(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t code = 0;
    if (!bits_.getBits(b, code)) return false;
    if (byPosition) {
      if (code >= si->alphabetSize) return false;
      value[i] = si->alphabet[code];
    } else {
      value[i] = char(code);
    }
  }
  return true;
}

bool PERDecoder::do_visit(BMPString& value) {
  const BMPStringInfo* si = value.info();
  std::uint32_t n = 0;
  if (!decodeSize(si, n) || n > MaximumStringSize) return false;
  const unsigned b = aligned_ ? si->alignedBits : si->unalignedBits;
  if (aligned_ && (si->constraintKind == Unconstrained || std::uint64_t(b) * si->upperBound > 16)) bits_.align();
  if (bits_.bitsAvailable() < std::uint64_t(n) * b) return false;
  value.resize(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint32_t code = 0;
    if (!bits_.getBits(b, code)) return false;
    const std::uint64_t ch = std::uint64_t(code) + std::uint64_t(si->firstChar);
    if (ch > std::uint64_t(si->lastChar)) return false;
    value[i] = wchar_t(ch);
  }
  return true;
}

bool PERDecoder::do_visit(CHOICE& value) {
  const ChoiceInfo* ci = value.info();
  if (ci->rootCount == 0) return false;
  // A CHOICE of a single root alternative without extension marker takes no
  // bits, so it may legitimately sit at the very end of the input.
  if ((ci->extendable || ci->rootCount > 1) && bits_.atEnd()) return false;
  const bool extension = ci->extendable && bits_.getBit();
  std::uint64_t index = 0;
  std::uint32_t len = 0;
  if (extension) {
    std::uint32_t n = 0;
    if (!decodeNormallySmallNumber(n) || !decodeGeneralLength(len)) return false;
    index = std::uint64_t(n) + ci->rootCount;
  } else {
    std::int64_t v = 0;
    if (!decodeConstrainedWholeNumber(0, std::int64_t(ci->rootCount) - 1, v)) return false;
    index = std::uint64_t(v);
  }
  if (index >= ci->totalCount) return false; // an alternative this module does not know
  if (int(index) != value.selection() || !value.alternative()) {
    if (!value.select(int(index))) return false;
  }
  if (extension) return decodeOpenTypeContents(*value.alternative(), len);
  return value.alternative()->accept(*this);
}

bool PERDecoder::do_visit(SEQUENCE_OF_Base& value) {
  std::uint32_t n = 0;
  if (!decodeSize(value.info(), n) || n > MaximumArraySize) return false;
  value.resize(n);
  for (std::uint32_t i = 0; i < n; ++i)
    if (!value.element(i).accept(*this)) {
      value.erase(i, n);
      return false;
    }
  return true;
}

bool PERDecoder::do_visit(OpenData& value) {
  std::uint32_t len = 0;
  if (!decodeGeneralLength(len)) return false;
  const std::uint8_t* bytes = bits_.takeOctets(len);
  if (!bytes) return false;
  auto* raw = new OCTET_STRING();
  raw->assign(bytes, bytes + len);
  value.grab(raw);
  return true;
}

bool PERDecoder::do_revisit(OpenData& value) {
  if (!value.has_buf() || !value.has_data()) return false;
  const OCTET_STRING& raw = *value.get_buf();
  PERDecoder inner(raw.data(), raw.data() + raw.size(), true, env_);
  return value.get_data()->accept(inner);
}

bool PERDecoder::do_visit(TypeConstrainedOpenData& value) {
  std::uint32_t len = 0;
  if (!decodeGeneralLength(len)) return false;
  const AbstractInfo* ti = value.info()->typeInfo;
  AbstractData* inner = ti->create(ti);
  value.grab(inner);
  return decodeOpenTypeContents(*inner, len);
}

bool PERDecoder::do_visit(GeneralizedTime& value) {
  std::uint32_t len = 0;
  if (!decodeGeneralLength(len)) return false;
  const std::uint8_t* bytes = bits_.takeOctets(len);
  return bytes && value.set(std::string(reinterpret_cast<const char*>(bytes), len));
}

Visitor::VisitSeqResult PERDecoder::preVisitExtensionRoots(SEQUENCE& seq) {
  const SequenceInfo* si = seq.info();
  bool extension = false;
  if (si->extendable) {
    if (bits_.atEnd()) return FAIL;
    extension = bits_.getBit();
  }
  const unsigned n = si->optionalCount;
  if (bits_.bitsAvailable() < n) return FAIL;
  BitMap& map = seq.optionalMap();
  if (map.size() != n) map.resize(n);
  for (unsigned i = 0; i < n; i += 8) {
    const unsigned chunk = n - i < 8 ? n - i : 8;
    std::uint32_t v = 0;
    bits_.getBits(chunk, v);
    map.data()[i / 8] = std::uint8_t(v << (8 - chunk));
  }
  if (!extension && seq.extensionMap().size()) seq.extensionMap().resize(0);
  return extension ? CONTINUE : NO_EXTENSION;
}

Visitor::VisitSeqResult PERDecoder::visitExtensionRoot(SEQUENCE& seq, int index, int optionalBit) {
  if (optionalBit >= 0 && !seq.optionalMap().test(unsigned(optionalBit))) return CONTINUE;
  return seq.fieldOrCreate(unsigned(index)).accept(*this) ? CONTINUE : FAIL;
}

Visitor::VisitSeqResult PERDecoder::preVisitExtensions(SEQUENCE& seq) {
  std::uint32_t n = 0;
  if (!decodeNormallySmallNumber(n) || n >= MaximumArraySize) return FAIL;
  const unsigned size = n + 1;
  if (bits_.bitsAvailable() < size) return FAIL;
  BitMap& map = seq.extensionMap();
  map.resize(size);
  for (unsigned k = 0; k < size; ++k) {
    if (bits_.getBit())
      map.set(k);
    else
      map.clear(k);
  }
  return CONTINUE;
}

Visitor::VisitSeqResult PERDecoder::visitKnownExtension(SEQUENCE& seq, int index, int optionalBit) {
  if (!seq.hasOptionalField(unsigned(optionalBit))) return CONTINUE;
  std::uint32_t len = 0;
  if (!decodeGeneralLength(len)) return FAIL;
  return decodeOpenTypeContents(seq.fieldOrCreate(unsigned(index)), len) ? CONTINUE : FAIL;
}

bool PERDecoder::visitUnknownExtensions(SEQUENCE& seq) {
  const BitMap& map = seq.extensionMap();
  for (unsigned k = seq.info()->knownExtensions; k < map.size(); ++k) {
    if (!map.test(k)) continue;
    std::uint32_t len = 0;
    if (!decodeGeneralLength(len) || !bits_.takeOctets(len)) return false;
  }
  return true;
}

} // namespace ASN1

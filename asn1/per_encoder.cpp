#include "asn1/per_encoder.h"

#include "asn1/values.h"

namespace ASN1 {
namespace {

// Bounds of a constrained INTEGER: compared as signed numbers only when the
// lower bound is negative, so that 0..4294967295 holds every 32-bit pattern.
std::int64_t asBounded(std::int32_t v, std::int32_t lower) {
  return lower < 0 ? std::int64_t(v) : std::int64_t(std::uint32_t(v));
}

unsigned unconstrainedOctets(std::int32_t v) {
  if (v == 0) return 1;
  if (v > 0) return (CountBits(std::uint64_t(v) + 1) + 1 + 7) / 8;
  return (CountBits(std::uint64_t(-std::int64_t(v))) + 1 + 7) / 8;
}

} // namespace

bool PEREncoder::encodeConstrainedWholeNumber(std::int64_t v, std::int64_t lower, std::int64_t upper) {
  if (v < lower || v > upper) return false;
  if (lower == upper) return true;
  const std::uint64_t range = std::uint64_t(upper - lower);
  const std::uint64_t offset = std::uint64_t(v - lower);
  if (range > 0xFFFFFFFFull) return false;
  const unsigned k = CountBits((range + 1) & 0xFFFFFFFFull);
  if (aligned_ && range > 254) {
    if (k > 16) {
      const unsigned octets = offset == 0 ? 1 : (CountBits(offset + 1) + 7) / 8;
      if (!encodeConstrainedWholeNumber(octets, 1, (k + 7) / 8)) return false;
      bits_.align();
      bits_.putBits(std::uint32_t(offset), octets * 8);
    } else {
      bits_.align();
      bits_.putBits(std::uint32_t(offset), k > 8 ? 16 : 8);
    }
    return true;
  }
  bits_.putBits(std::uint32_t(offset), k);
  return true;
}

void PEREncoder::encodeNormallySmallNumber(std::uint32_t n) {
  if (n <= 63) {
    bits_.putBits(n, 7); // a 0 bit and six bits of n
    return;
  }
  bits_.putBit(true);
  const unsigned octets = n <= 0xFF ? 1 : n <= 0xFFFF ? 2 : n <= 0xFFFFFF ? 3 : 4;
  encodeGeneralLength(octets);
  bits_.align();
  bits_.putBits(n, octets * 8);
}

bool PEREncoder::encodeGeneralLength(std::uint32_t len) {
  bits_.align();
  if (len <= 127) {
    bits_.putBits(len, 8);
    return true;
  }
  if (len <= 16383) { // longer lengths would need fragmentation, which is not supported
    bits_.putBits(0x8000u | len, 16);
    return true;
  }
  return false;
}

bool PEREncoder::encodeLengthDeterminant(std::uint32_t len, std::uint32_t lower, std::uint32_t upper) {
  if (len < lower || len > upper) return false;
  if (!aligned_ && upper != 2147483647u) {
    bits_.putBits(len - lower, CountBits(std::uint64_t(upper - lower) + 1));
    return true;
  }
  if (upper <= 65535) return encodeConstrainedWholeNumber(len, lower, upper);
  return encodeGeneralLength(len);
}

bool PEREncoder::encodeSize(std::uint32_t len, const ConstrainedInfo* info) {
  const std::uint32_t lower = std::uint32_t(info->lowerBound < 0 ? 0 : info->lowerBound);
  switch (info->constraintKind) {
  case Fixed:
    return encodeLengthDeterminant(len, lower, info->upperBound);
  case Extensible: {
    const bool outside = len < lower || len > info->upperBound;
    bits_.putBit(outside);
    return outside ? encodeLengthDeterminant(len, 0, 2147483647u) : encodeLengthDeterminant(len, lower, info->upperBound);
  }
  case LowerBoundOnly:
    if (len < lower) return false;
    [[fallthrough]];
  default:
    return encodeLengthDeterminant(len, 0, 2147483647u);
  }
}

void PEREncoder::encodeUnconstrainedInteger(std::int32_t v) {
  const unsigned octets = unconstrainedOctets(v);
  encodeGeneralLength(octets);
  bits_.putBits(std::uint32_t(v), octets * 8);
}

bool PEREncoder::encodeOpenType(const AbstractData& value) {
  // Open types always go in the aligned variant, as a length-prefixed octet block.
  ByteBuffer inner;
  PEREncoder sub(inner, true);
  if (!value.accept(sub)) return false;
  if (inner.size() == 0) inner.push(0);
  if (!encodeGeneralLength(std::uint32_t(inner.size()))) return false;
  bits_.putOctets(inner.data(), inner.size());
  return true;
}

bool PEREncoder::do_visit(const AbstractData&) { return false; }
bool PEREncoder::do_visit(const Null&) { return true; }

bool PEREncoder::do_visit(const BOOLEAN& value) {
  bits_.putBit(value.getValue());
  return true;
}

bool PEREncoder::do_visit(const INTEGER& value) {
  const ConstrainedInfo* ci = value.info();
  const std::int32_t v = value.getValue();
  switch (ci->constraintKind) {
  case Fixed:
    return encodeConstrainedWholeNumber(asBounded(v, ci->lowerBound), ci->lowerBound, upperBoundOf(ci));
  case Extensible: {
    const std::int64_t bv = asBounded(v, ci->lowerBound);
    const bool outside = bv < ci->lowerBound || bv > upperBoundOf(ci);
    bits_.putBit(outside);
    if (!outside) return encodeConstrainedWholeNumber(bv, ci->lowerBound, upperBoundOf(ci));
    encodeUnconstrainedInteger(v);
    return true;
  }
  case LowerBoundOnly:
    // The lower bound is not subtracted on this wire; a value below it
    // could not be told apart from a large one, so it is refused.
    if (asBounded(v, ci->lowerBound) < ci->lowerBound) return false;
    [[fallthrough]];
  default:
    encodeUnconstrainedInteger(v);
    return true;
  }
}

bool PEREncoder::do_visit(const ENUMERATED& value) {
  const EnumeratedInfo* ei = value.info();
  const std::int32_t v = value.asInt();
  if (!ei->extendable) return encodeConstrainedWholeNumber(v, 0, ei->maxValue);
  const bool above = v > ei->maxValue;
  bits_.putBit(above);
  if (!above) return encodeConstrainedWholeNumber(v, 0, ei->maxValue);
  encodeNormallySmallNumber(std::uint32_t(v) + 1);
  return encodeConstrainedWholeNumber(v, 0, v);
}

bool PEREncoder::do_visit(const OBJECT_IDENTIFIER& value) {
  const std::vector<std::uint8_t> contents = value.contents();
  if (!encodeConstrainedWholeNumber(std::int64_t(contents.size()), 0, 255)) return false;
  bits_.putOctets(contents.data(), contents.size());
  return true;
}

bool PEREncoder::do_visit(const BIT_STRING& value) {
  const unsigned n = value.size();
  if (!encodeSize(n, value.info())) return false;
  if (n == 0) return true;
  const std::uint8_t* bytes = value.bytes().data();
  if (aligned_ && n > 16) {
    bits_.putOctets(bytes, (n + 7) / 8);
    return true;
  }
  for (unsigned i = 0; i < n; i += 8) {
    const unsigned chunk = n - i < 8 ? n - i : 8;
    bits_.putBits(unsigned(bytes[i / 8]) >> (8 - chunk), chunk);
  }
  return true;
}

bool PEREncoder::do_visit(const OCTET_STRING& value) {
  const std::size_t n = value.size();
  if (n > 0xFFFFFFFFu || !encodeSize(std::uint32_t(n), value.info())) return false;
  if (n <= 2) {
    for (std::size_t i = 0; i < n; ++i) bits_.putBits(value[i], 8);
  } else {
    bits_.putOctets(value.data(), n);
  }
  return true;
}

bool PEREncoder::do_visit(const AbstractString& value) {
  const CharacterStringInfo* si = value.info();
  const std::size_t n = value.size();
  if (n > 0xFFFFFFFFu || !encodeSize(std::uint32_t(n), si)) return false;
  const unsigned b = aligned_ ? si->alignedBits : si->unalignedBits;
  if (si->constraintKind == Unconstrained || std::uint64_t(b) * si->upperBound > 16) {
    if (b == 8) {
      bits_.putOctets(reinterpret_cast<const std::uint8_t*>(value.data()), n);
      return true;
    }
    if (aligned_) bits_.align();
  }
  const bool byPosition = b < si->canonicalBits || si->canonicalBits < 5;
  for (const char ch : value) {
    const auto code = std::uint8_t(ch);
    if (byPosition) {
      const void* hit = std::memchr(si->alphabet, ch, si->alphabetSize);
      if (!hit) return false;
      bits_.putBits(unsigned(static_cast<const char*>(hit) - si->alphabet), b);
    } else {
      if (b < 8 && code >> b) return false; // would be cut to another character
      bits_.putBits(code, b);
    }
  }
  return true;
}

bool PEREncoder::do_visit(const BMPString& value) {
  const BMPStringInfo* si = value.info();
  const std::size_t n = value.size();
  if (n > 0xFFFFFFFFu || !encodeSize(std::uint32_t(n), si)) return false;
  const unsigned b = aligned_ ? si->alignedBits : si->unalignedBits;
  if (aligned_ && (si->constraintKind == Unconstrained || std::uint64_t(b) * si->upperBound > 16)) bits_.align();
  for (const wchar_t ch : value) {
    if (ch < si->firstChar || ch > si->lastChar) return false;
    bits_.putBits(std::uint32_t(ch - si->firstChar), b);
  }
  return true;
}

bool PEREncoder::do_visit(const CHOICE& value) {
  const ChoiceInfo* ci = value.info();
  const int sel = value.selection();
  if (sel < 0 || unsigned(sel) >= ci->totalCount || !value.alternative()) return false;
  const bool extension = unsigned(sel) >= ci->rootCount;
  if (ci->extendable) bits_.putBit(extension);
  if (extension) {
    encodeNormallySmallNumber(unsigned(sel) - ci->rootCount);
    return encodeOpenType(*value.alternative());
  }
  if (!encodeConstrainedWholeNumber(sel, 0, std::int64_t(ci->rootCount) - 1)) return false;
  return value.alternative()->accept(*this);
}

bool PEREncoder::do_visit(const OpenData& value) {
  if (value.has_data()) return encodeOpenType(*value.get_data());
  if (!value.has_buf()) return false;
  // Raw contents go out as they came in, so that they decode to the same.
  const OCTET_STRING& raw = *value.get_buf();
  if (!encodeGeneralLength(std::uint32_t(raw.size()))) return false;
  bits_.putOctets(raw.data(), raw.size());
  return true;
}

bool PEREncoder::do_visit(const GeneralizedTime& value) {
  const std::string text = value.get();
  if (!encodeGeneralLength(std::uint32_t(text.size()))) return false;
  bits_.putOctets(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return true;
}

bool PEREncoder::do_visit(const SEQUENCE_OF_Base& value) {
  const std::size_t n = value.size();
  if (n > 0xFFFFFFFFu || !encodeSize(std::uint32_t(n), value.info())) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (!value.element(i).accept(*this)) return false;
  return true;
}

namespace {
// The extension-addition map goes out with one bit per addition the type
// knows of, as X.691 has it: bits a shorter map lacks are 0, and bits past
// the known additions (kept from a newer peer's encoding) are not ours to send.
bool anyExtensionPresent(const SEQUENCE& seq) {
  for (unsigned k = 0, n = seq.info()->knownExtensions; k < n; ++k)
    if (seq.extensionMap().test(k)) return true;
  return false;
}
} // namespace

bool PEREncoder::preVisitExtensionRoots(const SEQUENCE& seq) {
  const SequenceInfo* si = seq.info();
  if (si->extendable) bits_.putBit(anyExtensionPresent(seq));
  const std::uint8_t* opt = seq.optionalMap().data();
  for (unsigned i = 0, n = si->optionalCount; i < n; i += 8) {
    const unsigned chunk = n - i < 8 ? n - i : 8;
    bits_.putBits(unsigned(opt[i / 8]) >> (8 - chunk), chunk);
  }
  return true;
}

bool PEREncoder::visitExtensionRoot(const SEQUENCE& seq, int index) {
  const AbstractData* field = seq.getField(unsigned(index));
  return field && field->accept(*this);
}

bool PEREncoder::preVisitExtensions(const SEQUENCE& seq) {
  if (!seq.info()->extendable || !anyExtensionPresent(seq)) return true;
  const unsigned n = seq.info()->knownExtensions;
  encodeNormallySmallNumber(n - 1);
  for (unsigned k = 0; k < n; ++k) bits_.putBit(seq.extensionMap().test(k));
  return true;
}

bool PEREncoder::visitKnownExtension(const SEQUENCE& seq, int index) {
  const AbstractData* field = seq.getField(unsigned(index));
  if (!seq.info()->extendable || !anyExtensionPresent(seq)) return true;
  return field && encodeOpenType(*field);
}

} // namespace ASN1

#include "tests/asn1/random_value.h"

#include <vector>

namespace asn1_test {

using namespace ASN1;

std::int64_t RandomValue::between(std::int64_t lo, std::int64_t hi) {
  return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng_);
}

std::uint32_t RandomValue::pickSize(const ConstrainedInfo* info, std::uint32_t typicalMax) {
  const std::int64_t lower = info->lowerBound;
  switch (info->constraintKind) {
  case Fixed:
    return std::uint32_t(between(lower, info->upperBound));
  case Extensible:
    if (chance(20)) return std::uint32_t(between(info->upperBound + 1, info->upperBound + 5));
    return std::uint32_t(between(lower, info->upperBound));
  case LowerBoundOnly:
    return std::uint32_t(between(lower, lower + typicalMax));
  default:
    // Now and then a length that needs the two-octet form.
    return chance(3) ? std::uint32_t(between(128, 300)) : std::uint32_t(between(0, typicalMax));
  }
}

bool RandomValue::do_visit(BOOLEAN& v) {
  v = chance(50);
  return true;
}

bool RandomValue::do_visit(INTEGER& v) {
  const ConstrainedInfo* ci = v.info();
  const std::int64_t lower = ci->lowerBound;
  const std::int64_t upper = ci->lowerBound < 0 ? std::int64_t(std::int32_t(ci->upperBound)) : ci->upperBound;
  // Bounds and their neighbours find more faults than uniform values.
  auto nearBounds = [&](std::int64_t lo, std::int64_t hi) {
    switch (between(0, 5)) {
    case 0: return lo;
    case 1: return hi;
    case 2: return lo + 1 <= hi ? lo + 1 : lo;
    default: return between(lo, hi);
    }
  };
  auto anyInt = [&]() -> std::int64_t {
    const int bits = int(between(0, 31));
    const std::int64_t magnitude = between(0, (std::int64_t(1) << bits));
    return chance(50) ? std::min<std::int64_t>(magnitude, INT32_MAX) : -magnitude;
  };
  std::int64_t value = 0;
  switch (ci->constraintKind) {
  case Fixed:
    value = nearBounds(lower, upper);
    break;
  case Extensible:
    value = chance(25) ? anyInt() : nearBounds(lower, upper);
    break;
  case LowerBoundOnly:
    value = nearBounds(lower, INT32_MAX);
    break;
  default:
    value = anyInt();
  }
  v.setValue(std::int32_t(std::uint32_t(std::uint64_t(value))));
  return true;
}

bool RandomValue::do_visit(ENUMERATED& v) {
  const EnumeratedInfo* ei = v.info();
  // Any name of the table, by its value.
  const char* name = ei->enumNames[between(0, ei->nameCount - 1)];
  std::string_view text(name);
  v.setFromName(text.substr(0, text.find('=')));
  return true;
}

bool RandomValue::do_visit(OBJECT_IDENTIFIER& v) {
  auto& arcs = v.arcs();
  arcs.clear();
  const std::uint32_t first = std::uint32_t(between(0, 2));
  arcs.push_back(first);
  arcs.push_back(std::uint32_t(first < 2 ? between(0, 39) : between(0, 1000)));
  for (int i = 0, n = int(between(0, 6)); i < n; ++i) arcs.push_back(std::uint32_t(between(0, 0xFFFFFFFFll)));
  return true;
}

bool RandomValue::do_visit(OCTET_STRING& v) {
  v.resize(pickSize(v.info(), 8));
  for (auto& b : v) b = std::uint8_t(between(0, 255));
  return true;
}

bool RandomValue::do_visit(BIT_STRING& v) {
  const std::uint32_t n = pickSize(v.info(), 40);
  std::vector<std::uint8_t> bytes((n + 7) / 8);
  for (auto& b : bytes) b = std::uint8_t(between(0, 255));
  v.assign(bytes.data(), n);
  return true;
}

bool RandomValue::do_visit(AbstractString& v) {
  const CharacterStringInfo* si = v.info();
  v.resize(pickSize(si, 12));
  for (auto& ch : v) ch = si->alphabet[between(0, si->alphabetSize - 1)];
  return true;
}

bool RandomValue::do_visit(BMPString& v) {
  const BMPStringInfo* si = v.info();
  v.resize(pickSize(si, 6));
  for (auto& ch : v) ch = wchar_t(between(si->firstChar, si->lastChar));
  return true;
}

bool RandomValue::do_visit(CHOICE& v) {
  const ChoiceInfo* ci = v.info();
  if (!v.select(int(between(0, ci->totalCount - 1)))) return false;
  return v.alternative()->accept(*this);
}

bool RandomValue::do_visit(SEQUENCE_OF_Base& v) {
  ++depth_;
  const std::uint32_t n = depth_ > 3 ? 0 : pickSize(v.info(), 3);
  v.resize(std::min<std::uint32_t>(n, MaximumArraySize));
  bool ok = true;
  for (std::size_t i = 0; ok && i < v.size(); ++i) ok = v.element(i).accept(*this);
  --depth_;
  return ok;
}

bool RandomValue::do_visit(OpenData& v) {
  // An untyped open value travels as its raw contents.
  auto* raw = new OCTET_STRING();
  raw->resize(std::size_t(between(1, 6)));
  for (auto& b : *raw) b = std::uint8_t(between(0, 255));
  v.grab(raw);
  return true;
}

bool RandomValue::do_visit(TypeConstrainedOpenData& v) {
  const AbstractInfo* ti = v.info()->typeInfo;
  AbstractData* inner = ti->create(ti);
  v.grab(inner);
  return inner->accept(*this);
}

bool RandomValue::do_visit(GeneralizedTime& v) {
  v.year = int(between(1970, 2100));
  v.month = int(between(1, 12));
  v.day = int(between(1, 28));
  v.hour = int(between(0, 23));
  v.minute = int(between(0, 59));
  v.second = int(between(0, 59));
  v.millisec = chance(50) ? 0 : int(between(1, 999));
  v.utc = chance(50);
  v.mindiff = v.utc ? 0 : int(between(-720, 840));
  return true;
}

Visitor::VisitSeqResult RandomValue::preVisitExtensionRoots(SEQUENCE& seq) {
  const SequenceInfo* si = seq.info();
  for (unsigned i = 0; i < si->rootCount; ++i)
    if (si->fieldIds[i] >= 0) {
      if (chance(60))
        seq.includeOptionalField(unsigned(si->fieldIds[i]), i);
      else
        seq.removeOptionalField(unsigned(si->fieldIds[i]));
    }
  seq.extensionMap().resize(0);
  if (si->extendable && si->knownExtensions && chance(50)) {
    for (unsigned k = 0; k < si->knownExtensions; ++k)
      if (chance(50)) seq.includeOptionalField(si->optionalCount + k, si->rootCount + k);
    return CONTINUE;
  }
  return NO_EXTENSION;
}

Visitor::VisitSeqResult RandomValue::visitExtensionRoot(SEQUENCE& seq, int index, int optionalBit) {
  if (optionalBit >= 0 && !seq.hasOptionalField(unsigned(optionalBit))) return CONTINUE;
  return seq.fieldOrCreate(unsigned(index)).accept(*this) ? CONTINUE : FAIL;
}

Visitor::VisitSeqResult RandomValue::visitKnownExtension(SEQUENCE& seq, int index, int optionalBit) {
  if (!seq.hasOptionalField(unsigned(optionalBit))) return CONTINUE;
  return seq.fieldOrCreate(unsigned(index)).accept(*this) ? CONTINUE : FAIL;
}

} // namespace asn1_test

#include "tests/protocol/random_value.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

namespace protocol_test {
namespace {

// The values an enumeration can encode in its root: each name's value,
// "name=N" giving it explicitly; negative ones cannot be encoded.
std::vector<int> encodableValues(const ASN1::EnumeratedInfo* info) {
  std::vector<int> values;
  int next = 0;
  for (unsigned i = 0; i < info->nameCount; ++i) {
    std::string_view entry(info->enumNames[i]);
    int value = next;
    if (const auto eq = entry.find('='); eq != std::string_view::npos)
      std::from_chars(entry.data() + eq + 1, entry.data() + entry.size(), value);
    if (value >= 0 && value <= info->maxValue) values.push_back(value);
    next = value + 1;
  }
  return values;
}

} // namespace

std::uint32_t RandomFiller::pickSize(const ASN1::ConstrainedInfo* info, std::uint32_t usual) {
  std::uint32_t lower = 0, upper = usual;
  if (info->constraintKind == ASN1::Fixed || info->constraintKind == ASN1::Extensible) {
    lower = std::uint32_t(info->lowerBound);
    upper = std::min<std::uint32_t>(info->upperBound, lower + usual);
  }
  if (depth_ > 3) upper = lower;
  return lower + below(upper - lower + 1);
}

bool RandomFiller::fillNested(ASN1::AbstractData& value) {
  ++depth_;
  const bool ok = value.accept(*this);
  --depth_;
  return ok;
}

bool RandomFiller::do_visit(ASN1::Null&) { return true; }

bool RandomFiller::do_visit(ASN1::BOOLEAN& value) {
  value = coin();
  return true;
}

bool RandomFiller::do_visit(ASN1::INTEGER& value) {
  const auto* info = value.info();
  if (info->constraintKind == ASN1::Fixed || info->constraintKind == ASN1::Extensible) {
    const std::int64_t lower = info->lowerBound, upper = info->upperBound;
    const std::uint64_t span = std::uint64_t(upper - lower) + 1;
    // Bounds are where encoders go wrong: pick them often.
    std::int64_t v;
    switch (below(4)) {
    case 0: v = lower; break;
    case 1: v = upper; break;
    default: v = lower + std::int64_t(std::uint64_t(rng_()) % span);
    }
    value.setValue(int(std::uint32_t(v)));
    return true;
  }
  // Unconstrained: every length of two's complement from one to four octets.
  static constexpr int edges[] = {0, -1, 127, 128, -128, -129, 32767, 32768, -32769, 2147483647, -2147483647 - 1};
  value.setValue(coin() ? edges[below(std::size(edges))] : int(rng_()) >> below(32));
  return true;
}

bool RandomFiller::do_visit(ASN1::ENUMERATED& value) {
  const auto values = encodableValues(value.info());
  if (values.empty()) return false;
  value.setValue(values[below(values.size())]);
  return true;
}

bool RandomFiller::do_visit(ASN1::OBJECT_IDENTIFIER&) { return false; }
bool RandomFiller::do_visit(ASN1::BIT_STRING&) { return false; }
bool RandomFiller::do_visit(ASN1::BMPString&) { return false; }
bool RandomFiller::do_visit(ASN1::OpenData&) { return false; }
bool RandomFiller::do_revisit(ASN1::OpenData&) { return false; }
bool RandomFiller::do_visit(ASN1::TypeConstrainedOpenData&) { return false; }
bool RandomFiller::do_visit(ASN1::GeneralizedTime&) { return false; }

bool RandomFiller::do_visit(ASN1::OCTET_STRING& value) {
  value.resize(pickSize(value.info(), 6));
  for (auto& b : value) b = std::uint8_t(rng_());
  return true;
}

bool RandomFiller::do_visit(ASN1::AbstractString& value) {
  const auto* info = value.info();
  value.assign(pickSize(info, 8), ' ');
  for (auto& c : value) c = info->alphabet[below(info->alphabetSize)];
  return true;
}

bool RandomFiller::do_visit(ASN1::CHOICE& value) {
  const auto* info = value.info();
  if (!value.select(int(below(info->totalCount)))) return false;
  return fillNested(*value.alternative());
}

bool RandomFiller::do_visit(ASN1::SEQUENCE_OF_Base& value) {
  value.resize(pickSize(value.info(), 3));
  for (std::size_t i = 0; i < value.size(); ++i)
    if (!fillNested(value.element(i))) return false;
  return true;
}

ASN1::Visitor::VisitSeqResult RandomFiller::preVisitExtensionRoots(ASN1::SEQUENCE&) { return CONTINUE; }

ASN1::Visitor::VisitSeqResult RandomFiller::visitExtensionRoot(ASN1::SEQUENCE& seq, int index, int optionalBit) {
  if (optionalBit >= 0) {
    if (!coin()) {
      seq.removeOptionalField(unsigned(optionalBit));
      return CONTINUE;
    }
    seq.includeOptionalField(unsigned(optionalBit), unsigned(index));
  }
  return fillNested(seq.fieldOrCreate(unsigned(index))) ? CONTINUE : FAIL;
}

ASN1::Visitor::VisitSeqResult RandomFiller::preVisitExtensions(ASN1::SEQUENCE&) { return CONTINUE; }

ASN1::Visitor::VisitSeqResult RandomFiller::visitKnownExtension(ASN1::SEQUENCE& seq, int index, int optionalBit) {
  if (!coin()) {
    seq.removeOptionalField(unsigned(optionalBit));
    return CONTINUE;
  }
  seq.includeOptionalField(unsigned(optionalBit), unsigned(index));
  return fillNested(seq.fieldOrCreate(unsigned(index))) ? CONTINUE : FAIL;
}

} // namespace protocol_test

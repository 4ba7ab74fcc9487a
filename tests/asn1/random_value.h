#pragma once
// Fills any value with random contents that its type's constraints allow,
// driven by the descriptors alone (it is a Visitor, like a decoder).
#include <cstdint>
#include <random>

#include "asn1/values.h"

namespace asn1_test {

class RandomValue : public ASN1::Visitor {
public:
  explicit RandomValue(std::uint32_t seed) : rng_(seed) {}

  bool do_visit(ASN1::Null&) override { return true; }
  bool do_visit(ASN1::BOOLEAN& v) override;
  bool do_visit(ASN1::INTEGER& v) override;
  bool do_visit(ASN1::ENUMERATED& v) override;
  bool do_visit(ASN1::OBJECT_IDENTIFIER& v) override;
  bool do_visit(ASN1::OCTET_STRING& v) override;
  bool do_visit(ASN1::BIT_STRING& v) override;
  bool do_visit(ASN1::AbstractString& v) override;
  bool do_visit(ASN1::BMPString& v) override;
  bool do_visit(ASN1::CHOICE& v) override;
  bool do_visit(ASN1::SEQUENCE_OF_Base& v) override;
  bool do_visit(ASN1::OpenData& v) override;
  bool do_revisit(ASN1::OpenData&) override { return true; }
  bool do_visit(ASN1::TypeConstrainedOpenData& v) override;
  bool do_visit(ASN1::GeneralizedTime& v) override;
  VisitSeqResult preVisitExtensionRoots(ASN1::SEQUENCE& seq) override;
  VisitSeqResult visitExtensionRoot(ASN1::SEQUENCE& seq, int index, int optionalBit) override;
  VisitSeqResult preVisitExtensions(ASN1::SEQUENCE&) override { return CONTINUE; }
  VisitSeqResult visitKnownExtension(ASN1::SEQUENCE& seq, int index, int optionalBit) override;

private:
  std::int64_t between(std::int64_t lo, std::int64_t hi);
  bool chance(int percent) { return between(0, 99) < percent; }
  // A length or count that the SIZE constraint allows (or, when extensible,
  // sometimes one outside the root range).
  std::uint32_t pickSize(const ASN1::ConstrainedInfo* info, std::uint32_t typicalMax);

  std::mt19937 rng_;
  int depth_ = 0;
};

} // namespace asn1_test

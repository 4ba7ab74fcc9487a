#pragma once
// Fills any value with random contents that its descriptor permits, so that
// round trips can be run over every type of a module from a seed.
#include <cstdint>
#include <random>

#include "asn1/values.h"

namespace protocol_test {

class RandomFiller : public ASN1::Visitor {
public:
  explicit RandomFiller(std::uint32_t seed) : rng_(seed) {}

  // Replaces the contents of value; false when a kind cannot be filled.
  bool fill(ASN1::AbstractData& value) { return value.accept(*this); }

  bool do_visit(ASN1::Null& value) override;
  bool do_visit(ASN1::BOOLEAN& value) override;
  bool do_visit(ASN1::INTEGER& value) override;
  bool do_visit(ASN1::ENUMERATED& value) override;
  bool do_visit(ASN1::OBJECT_IDENTIFIER& value) override;
  bool do_visit(ASN1::OCTET_STRING& value) override;
  bool do_visit(ASN1::BIT_STRING& value) override;
  bool do_visit(ASN1::AbstractString& value) override;
  bool do_visit(ASN1::BMPString& value) override;
  bool do_visit(ASN1::CHOICE& value) override;
  bool do_visit(ASN1::SEQUENCE_OF_Base& value) override;
  bool do_visit(ASN1::OpenData& value) override;
  bool do_revisit(ASN1::OpenData& value) override;
  bool do_visit(ASN1::TypeConstrainedOpenData& value) override;
  bool do_visit(ASN1::GeneralizedTime& value) override;
  VisitSeqResult preVisitExtensionRoots(ASN1::SEQUENCE& seq) override;
  VisitSeqResult visitExtensionRoot(ASN1::SEQUENCE& seq, int index, int optionalBit) override;
  VisitSeqResult preVisitExtensions(ASN1::SEQUENCE& seq) override;
  VisitSeqResult visitKnownExtension(ASN1::SEQUENCE& seq, int index, int optionalBit) override;

private:
  std::uint32_t below(std::uint32_t n) { return n ? std::uint32_t(rng_() % n) : 0; }
  bool coin() { return rng_() & 1; }
  // Size in [lower, upper] of a sized kind, kept small and smaller when deep.
  std::uint32_t pickSize(const ASN1::ConstrainedInfo* info, std::uint32_t usual);
  // Descends into a component, bounding the depth of nested lists.
  bool fillNested(ASN1::AbstractData& value);

  std::mt19937 rng_;
  unsigned depth_ = 0;
};

} // namespace protocol_test

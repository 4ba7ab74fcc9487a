#pragma once
// Packed encoding rules (X.691), aligned or unaligned variant, as a Visitor
// that fills an existing value from a byte range read in place. Every
// count and length is checked against the input and the runtime's limits
// before anything is allocated for it.
#include <cstdint>

#include "asn1/per_bits.h"
#include "asn1/visitors.h"

namespace ASN1 {

class CoderEnv;
struct ConstrainedInfo;

class PERDecoder : public Visitor {
public:
  PERDecoder(const std::uint8_t* first, const std::uint8_t* last, bool aligned, const CoderEnv* env = nullptr)
      : bits_(first, last), aligned_(aligned), env_(env) {}

  bool do_visit(Null& value) override;
  bool do_visit(BOOLEAN& value) override;
  bool do_visit(INTEGER& value) override;
  bool do_visit(ENUMERATED& value) override;
  bool do_visit(OBJECT_IDENTIFIER& value) override;
  bool do_visit(OCTET_STRING& value) override;
  bool do_visit(BIT_STRING& value) override;
  bool do_visit(AbstractString& value) override;
  bool do_visit(BMPString& value) override;
  bool do_visit(CHOICE& value) override;
  bool do_visit(SEQUENCE_OF_Base& value) override;
  bool do_visit(OpenData& value) override;
  bool do_revisit(OpenData& value) override;
  bool do_visit(TypeConstrainedOpenData& value) override;
  bool do_visit(GeneralizedTime& value) override;
  VisitSeqResult preVisitExtensionRoots(SEQUENCE& seq) override;
  VisitSeqResult visitExtensionRoot(SEQUENCE& seq, int index, int optionalBit) override;
  VisitSeqResult preVisitExtensions(SEQUENCE& seq) override;
  VisitSeqResult visitKnownExtension(SEQUENCE& seq, int index, int optionalBit) override;
  bool visitUnknownExtensions(SEQUENCE& seq) override;

  bool decodeConstrainedWholeNumber(std::int64_t lower, std::int64_t upper, std::int64_t& v);
  bool decodeNormallySmallNumber(std::uint32_t& n);
  bool decodeLengthDeterminant(std::uint32_t lower, std::uint32_t upper, std::uint32_t& len);
  bool decodeGeneralLength(std::uint32_t& len);

private:
  bool decodeSize(const ConstrainedInfo* info, std::uint32_t& len);
  // Decodes value from the open type's contents [position, position + len),
  // then moves past them.
  bool decodeOpenTypeContents(AbstractData& value, std::uint32_t len);

  BitReader bits_;
  bool aligned_;
  const CoderEnv* env_;
};

} // namespace ASN1

#pragma once
// Packed encoding rules (X.691), aligned or unaligned variant, as a
// ConstVisitor that appends a value's encoding to a byte buffer.
#include <cstdint>

#include "asn1/descriptors.h"
#include "asn1/per_bits.h"
#include "asn1/visitors.h"

namespace ASN1 {

// The smallest k with 2^k >= n; 32 for 0 (a range of all 2^32 values).
inline unsigned CountBits(std::uint64_t n) {
  if (n <= 1) return n == 0 ? 32 : 0;
  return 64 - unsigned(__builtin_clzll(n - 1));
}

// The upper bound of a value range: read as signed when the lower bound is
// negative, as in INTEGER (-100..-5).
inline std::int64_t upperBoundOf(const ConstrainedInfo* info) {
  return info->lowerBound < 0 ? std::int64_t(std::int32_t(info->upperBound)) : std::int64_t(info->upperBound);
}

class PEREncoder : public ConstVisitor {
public:
  PEREncoder(ByteBuffer& out, bool aligned) : bits_(out), aligned_(aligned) {}

  bool do_visit(const AbstractData& value) override;
  bool do_visit(const Null& value) override;
  bool do_visit(const BOOLEAN& value) override;
  bool do_visit(const INTEGER& value) override;
  bool do_visit(const ENUMERATED& value) override;
  bool do_visit(const OBJECT_IDENTIFIER& value) override;
  bool do_visit(const BIT_STRING& value) override;
  bool do_visit(const OCTET_STRING& value) override;
  bool do_visit(const AbstractString& value) override;
  bool do_visit(const BMPString& value) override;
  bool do_visit(const CHOICE& value) override;
  bool do_visit(const OpenData& value) override;
  bool do_visit(const GeneralizedTime& value) override;
  bool do_visit(const SEQUENCE_OF_Base& value) override;
  bool preVisitExtensionRoots(const SEQUENCE& seq) override;
  bool visitExtensionRoot(const SEQUENCE& seq, int index) override;
  bool preVisitExtensions(const SEQUENCE& seq) override;
  bool visitKnownExtension(const SEQUENCE& seq, int index) override;

  // Building blocks, shared with the tests of the wire format.
  bool encodeConstrainedWholeNumber(std::int64_t v, std::int64_t lower, std::int64_t upper);
  void encodeNormallySmallNumber(std::uint32_t n);
  bool encodeLengthDeterminant(std::uint32_t len, std::uint32_t lower, std::uint32_t upper);
  bool encodeGeneralLength(std::uint32_t len);
  bool encodeOpenType(const AbstractData& value);
  void encodeUnconstrainedInteger(std::int32_t v);

private:
  // Length of a sized kind: bounded, with an extension bit, or unconstrained.
  bool encodeSize(std::uint32_t len, const ConstrainedInfo* info);

  BitWriter bits_;
  bool aligned_;
};

} // namespace ASN1

#pragma once
// The value-notation text of log lines: component and alternative names,
// enumeration names, quoted strings, hexadecimal octet strings, nested
// braces with two blanks of indentation per level.
#include <iosfwd>
#include <vector>

#include "asn1/visitors.h"

namespace ASN1 {

class AVNEncoder : public ConstVisitor {
public:
  explicit AVNEncoder(std::ostream& os) : os_(os) {}

  bool do_visit(const AbstractData& value) override;
  bool do_visit(const Null& value) override;
  bool do_visit(const BOOLEAN& value) override;
  bool do_visit(const INTEGER& value) override;
  bool do_visit(const IntegerWithNamedNumber& value) override;
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
  bool visitKnownExtension(const SEQUENCE& seq, int index) override;
  bool afterVisitSequence(const SEQUENCE& seq) override;

private:
  bool printComponent(const SEQUENCE& seq, int index);
  void indent(int blanks);

  std::ostream& os_;
  int indent_ = 0;
  std::vector<bool> componentWritten_; // one flag per SEQUENCE being printed
};

} // namespace ASN1

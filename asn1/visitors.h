#pragma once
// Double dispatch over the built-in kinds. Encoders and printers are
// ConstVisitors, decoders Visitors. A SEQUENCE has no do_visit: its accept
// runs the traversal through the hooks at the end of each interface.
namespace ASN1 {

class AbstractData;
class Null;
class BOOLEAN;
class INTEGER;
class IntegerWithNamedNumber;
class ENUMERATED;
class OBJECT_IDENTIFIER;
class BIT_STRING;
class OCTET_STRING;
class AbstractString;
class BMPString;
class CHOICE;
class OpenData;
class TypeConstrainedOpenData;
class GeneralizedTime;
class SEQUENCE_OF_Base;
class SEQUENCE;

class ConstVisitor {
public:
  virtual ~ConstVisitor() = default;
  virtual bool do_visit(const AbstractData& value);
  virtual bool do_visit(const Null& value);
  virtual bool do_visit(const BOOLEAN& value);
  virtual bool do_visit(const INTEGER& value);
  virtual bool do_visit(const IntegerWithNamedNumber& value);
  virtual bool do_visit(const ENUMERATED& value);
  virtual bool do_visit(const OBJECT_IDENTIFIER& value);
  virtual bool do_visit(const BIT_STRING& value);
  virtual bool do_visit(const OCTET_STRING& value);
  virtual bool do_visit(const AbstractString& value);
  virtual bool do_visit(const BMPString& value);
  virtual bool do_visit(const CHOICE& value);
  virtual bool do_visit(const OpenData& value);
  virtual bool do_visit(const GeneralizedTime& value);
  virtual bool do_visit(const SEQUENCE_OF_Base& value);
  virtual bool preVisitExtensionRoots(const SEQUENCE& seq);
  virtual bool visitExtensionRoot(const SEQUENCE& seq, int index);
  virtual bool preVisitExtensions(const SEQUENCE& seq);
  virtual bool visitKnownExtension(const SEQUENCE& seq, int index);
  virtual bool afterVisitSequence(const SEQUENCE& seq);
};

class Visitor {
public:
  // Step codes of the SEQUENCE hooks.
  enum VisitSeqResult {
    FAIL = 0,
    STOP = 1,             // stop, with success
    NO_EXTENSION = 2,     // go on; no extension additions follow
    CONTINUE = 3,
  };

  virtual ~Visitor() = default;
  virtual bool do_visit(Null& value) = 0;
  virtual bool do_visit(BOOLEAN& value) = 0;
  virtual bool do_visit(INTEGER& value) = 0;
  virtual bool do_visit(IntegerWithNamedNumber& value);
  virtual bool do_visit(ENUMERATED& value) = 0;
  virtual bool do_visit(OBJECT_IDENTIFIER& value) = 0;
  virtual bool do_visit(OCTET_STRING& value) = 0;
  virtual bool do_visit(BIT_STRING& value) = 0;
  virtual bool do_visit(AbstractString& value) = 0;
  virtual bool do_visit(BMPString& value) = 0;
  virtual bool do_visit(CHOICE& value) = 0;
  virtual bool do_visit(SEQUENCE_OF_Base& value) = 0;
  virtual bool do_visit(OpenData& value) = 0;
  virtual bool do_revisit(OpenData& value) = 0;
  virtual bool do_visit(TypeConstrainedOpenData& value) = 0;
  virtual bool do_visit(GeneralizedTime& value) = 0;
  virtual VisitSeqResult preVisitExtensionRoots(SEQUENCE& seq);
  virtual VisitSeqResult visitExtensionRoot(SEQUENCE& seq, int index, int optionalBit);
  virtual VisitSeqResult preVisitExtensions(SEQUENCE& seq);
  virtual VisitSeqResult visitKnownExtension(SEQUENCE& seq, int index, int optionalBit);
  virtual bool visitUnknownExtensions(SEQUENCE& seq);
};

} // namespace ASN1

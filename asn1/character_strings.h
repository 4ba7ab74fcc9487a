#pragma once
// The character string kinds: the narrow ones are themselves strings and
// differ only in their descriptors (alphabet and bits per character);
// BMPString holds 16-bit codes in wide characters.
#include <string>

#include "asn1/abstract_data.h"

namespace ASN1 {

class AbstractString : public ConstrainedObject, public std::string {
public:
  AbstractString(const AbstractString&) = default;
  AbstractString& operator=(const AbstractString& o) { std::string::operator=(o); return *this; }
  AbstractString& operator=(const std::string& s) { std::string::operator=(s); return *this; }
  AbstractString& operator=(const char* s) { std::string::operator=(s); return *this; }

  const CharacterStringInfo* info() const {
    return static_cast<const CharacterStringInfo*>(AbstractData::info());
  }
  static AbstractData* create(const AbstractInfo* info) { return new AbstractString(info); }

  static void* operator new(std::size_t bytes) { return AbstractData::operator new(bytes); }
  static void operator delete(void* p, std::size_t bytes) noexcept { AbstractData::operator delete(p, bytes); }

  explicit AbstractString(const AbstractInfo* info) : ConstrainedObject(info) {}
  AbstractString(const std::string& text, const AbstractInfo* info) : ConstrainedObject(info), std::string(text) {}

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

#define KELVAD_ASN1_STRING_CLASS(Name)                                                       \
  class Name : public AbstractString {                                                      \
  public:                                                                                   \
    explicit Name(const AbstractInfo* info = &theInfo) : AbstractString(info) {}            \
    Name(const std::string& text, const AbstractInfo* info = &theInfo) : AbstractString(text, info) {} \
    Name(const char* text, const AbstractInfo* info = &theInfo) : AbstractString(text, info) {} \
    Name(const Name&) = default;                                                            \
    Name& operator=(const Name& o) { std::string::operator=(o); return *this; }             \
    using AbstractString::operator=;                                                        \
    static const CharacterStringInfo theInfo;                                               \
    static const char alphabet[];                                                           \
    static AbstractData* create(const AbstractInfo* info) { return new Name(info); }        \
  };

KELVAD_ASN1_STRING_CLASS(NumericString)
KELVAD_ASN1_STRING_CLASS(PrintableString)
KELVAD_ASN1_STRING_CLASS(VisibleString)
KELVAD_ASN1_STRING_CLASS(IA5String)
KELVAD_ASN1_STRING_CLASS(GeneralString)
#undef KELVAD_ASN1_STRING_CLASS

class BMPString : public ConstrainedObject, public std::wstring {
public:
  explicit BMPString(const AbstractInfo* info = &theInfo) : ConstrainedObject(info) {}
  BMPString(const std::wstring& text, const AbstractInfo* info = &theInfo)
      : ConstrainedObject(info), std::wstring(text) {}
  BMPString(const BMPString&) = default;
  BMPString& operator=(const BMPString& o) { std::wstring::operator=(o); return *this; }
  BMPString& operator=(const std::wstring& s) { std::wstring::operator=(s); return *this; }

  const BMPStringInfo* info() const { return static_cast<const BMPStringInfo*>(AbstractData::info()); }
  static const BMPStringInfo theInfo;
  static AbstractData* create(const AbstractInfo* info) { return new BMPString(info); }

  static void* operator new(std::size_t bytes) { return AbstractData::operator new(bytes); }
  static void operator delete(void* p, std::size_t bytes) noexcept { AbstractData::operator delete(p, bytes); }

protected:
  int do_compare(const AbstractData& other) const override;
  AbstractData* do_clone() const override { return cloneByAssign(*this); }
  bool do_accept(Visitor& v) override;
  bool do_accept(ConstVisitor& v) const override;
};

} // namespace ASN1

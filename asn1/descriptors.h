#pragma once
// Descriptor records: one constant record per ASN.1 type says everything the
// codecs need about it. Every record starts with the common head; each kind
// appends its own fields.
#include <cstdint>

namespace ASN1 {

class AbstractData;
struct AbstractInfo;

using CreateFun = AbstractData* (*)(const AbstractInfo*);

enum ConstraintType : int {
  Unconstrained = 0,
  LowerBoundOnly = 1,
  Fixed = 2,      // root range, no extension marker
  Extensible = 3, // root range plus extension marker
};

inline constexpr unsigned NoUpperBound = 4294967295u;

struct AbstractInfo {
  CreateFun create; // descriptor -> new default value, owned by the caller
  unsigned tag;     // universal tag number; 0 for CHOICE and open types
};

struct ConstrainedInfo : AbstractInfo {
  int constraintKind;
  int lowerBound;       // value range (INTEGER) or size (all others)
  unsigned upperBound;  // NoUpperBound when none
};

struct NamedNumber {
  int value;
  const char* name;
};

struct IntegerWithNamedNumberInfo : ConstrainedInfo {
  const NamedNumber* namedNumbers; // sorted by value
  unsigned entryCount;
};

struct TypeConstrainedOpenDataInfo : AbstractInfo {
  const AbstractInfo* typeInfo; // the one type the open value must have
};

struct CharacterStringInfo : ConstrainedInfo {
  const char* alphabet; // permitted characters in canonical order
  unsigned alphabetSize;
  unsigned canonicalBits;
  unsigned unalignedBits;
  unsigned alignedBits;
};

struct BMPStringInfo : ConstrainedInfo {
  wchar_t firstChar;
  wchar_t lastChar;
  unsigned unalignedBits;
  unsigned alignedBits;
};

struct SequenceOfInfo : ConstrainedInfo {
  const AbstractInfo* elementInfo;
};

struct EnumeratedInfo : AbstractInfo {
  bool extendable;
  int maxValue;               // largest root value
  const char* const* enumNames; // definition order; "name=N" carries an explicit value
  unsigned nameCount;
};

struct ChoiceInfo : AbstractInfo {
  bool extendable;
  const AbstractInfo* const* selectionInfos;
  unsigned rootCount;  // alternatives before the extension marker
  unsigned totalCount; // root plus known extension alternatives
  const unsigned* tagKeys; // null with automatic tags
  const char* const* selectionNames;
};

struct SequenceInfo : AbstractInfo {
  bool extendable;
  const AbstractInfo* const* fieldInfos; // root components, then known extension additions
  const int* fieldIds;  // per root component: -1 mandatory, else its optional bit
  unsigned rootCount;
  unsigned knownExtensions;
  unsigned optionalCount;
  const std::uint8_t* mandatoryExtensions; // additions present by default, MSB first; may be null
  const unsigned* componentTags;           // null with automatic tags
  const char* const* fieldNames;
};

} // namespace ASN1

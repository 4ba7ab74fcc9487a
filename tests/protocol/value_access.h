#pragma once
// Building values of carried types by component and alternative name, the
// way the documents write them: {seq 5, slot 3, pdu response success}.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "asn1/coder_env.h"
#include "asn1/values.h"
#include "protocol/registry.h"

namespace protocol_test {

inline std::unique_ptr<ASN1::AbstractData> make(std::string_view qualified) {
  const auto* entry = protocol::findType(qualified);
  if (!entry) throw std::invalid_argument("unknown type " + std::string(qualified));
  return std::unique_ptr<ASN1::AbstractData>(entry->info->create(entry->info));
}

// The component of a SEQUENCE by name, made present when it is optional.
inline ASN1::AbstractData& component(ASN1::AbstractData& value, std::string_view name) {
  auto& seq = dynamic_cast<ASN1::SEQUENCE&>(value);
  const auto* info = seq.info();
  for (unsigned i = 0; i < info->rootCount + info->knownExtensions; ++i) {
    if (name != info->fieldNames[i]) continue;
    if (i >= info->rootCount) seq.includeOptionalField(info->optionalCount + (i - info->rootCount), i);
    else if (info->fieldIds[i] >= 0) seq.includeOptionalField(unsigned(info->fieldIds[i]), i);
    return seq.fieldOrCreate(i);
  }
  throw std::invalid_argument("no component " + std::string(name));
}

// Chooses the alternative of a CHOICE by name and returns its value.
inline ASN1::AbstractData& choose(ASN1::AbstractData& value, std::string_view name) {
  auto& choice = dynamic_cast<ASN1::CHOICE&>(value);
  const auto* info = choice.info();
  for (unsigned i = 0; i < info->totalCount; ++i)
    if (name == info->selectionNames[i] && choice.select(int(i))) return *choice.alternative();
  throw std::invalid_argument("no alternative " + std::string(name));
}

template <class T>
T& as(ASN1::AbstractData& value) {
  return dynamic_cast<T&>(value);
}

inline std::vector<std::uint8_t> encoded(const ASN1::AbstractData& value, bool aligned = true) {
  std::vector<std::uint8_t> out;
  const ASN1::CoderEnv env(aligned ? ASN1::CoderEnv::per_Aligned : ASN1::CoderEnv::per_Unaligned);
  if (!env.encode(value, std::back_inserter(out))) throw std::runtime_error("encode failed");
  return out;
}

inline bool encodes(const ASN1::AbstractData& value) {
  std::vector<std::uint8_t> out;
  return ASN1::CoderEnv(ASN1::CoderEnv::per_Aligned).encode(value, std::back_inserter(out));
}

} // namespace protocol_test

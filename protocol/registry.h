#pragma once
// Every type of the carried modules by its qualified name, for tools and
// tests that meet a type only as text ("LGCP.Message").
#include <span>
#include <string_view>

#include "asn1/descriptors.h"

namespace protocol {

struct TypeEntry {
  std::string_view module; // "LGCP"
  std::string_view name;   // "Message"
  const ASN1::AbstractInfo* info;
};

// Sorted by module, then by name.
std::span<const TypeEntry> allTypes();

// "MODULE.Type" (or "MODULE::Type"); null when unknown.
const TypeEntry* findType(std::string_view qualified);

} // namespace protocol

#pragma once
// A module's documented type table and the check of generated descriptors
// against it. A row reads like the documents: "`seq` INTEGER (opt); `slot`
// INTEGER (0..1023) (opt); `pdu` `PDU`" for a SEQUENCE, "0 `command`
// `Command`; …" for a CHOICE, "`enabled` 0, `disabled` 1, …" for an
// ENUMERATED; "…" is the extension marker, types of other modules carry
// their module prefix (`TERM::HostAddress`).
#include <string>
#include <string_view>
#include <vector>

#include "asn1/descriptors.h"

namespace protocol_test {

struct TableRow {
  const char* name;
  const char* kind;       // "SEQUENCE", "CHOICE", "ENUMERATED" (optionally "(largest value N)")
  const char* components;
};

// Every difference between the row and the type's descriptor, one line
// each; empty when they agree. `module` resolves unprefixed type names.
std::vector<std::string> checkRow(std::string_view module, const TableRow& row);

} // namespace protocol_test

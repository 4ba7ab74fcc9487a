#pragma once

namespace ASN1 {

// Decoder limits: input that claims more than this fails instead of
// allocating on an attacker's word.
inline constexpr unsigned MaximumArraySize = 128;    // SEQUENCE OF elements, extension-map bits
inline constexpr unsigned MaximumStringSize = 16384; // octets, characters or bits

} // namespace ASN1

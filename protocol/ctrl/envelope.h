#pragma once
// A look at the raw aligned-PER envelope of a control message, for what the
// decoder refuses outright: a slot number beyond its range.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace CtrlSrv {

// Byte offset of the two slot octets when the envelope carries a slot, or -1
// (no slot, a seq too long to locate it, or too few bytes).
long SlotOffset(const uint8_t* data, size_t length);

// When the envelope carries a slot above 1023, a copy with that slot replaced
// by 0 (so the rest can be decoded); otherwise empty.
std::vector<uint8_t> WithOutOfRangeSlotCleared(const uint8_t* data, size_t length);

}  // namespace CtrlSrv

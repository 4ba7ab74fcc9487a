#include "protocol/ctrl/envelope.h"

namespace CtrlSrv {

namespace {
constexpr uint8_t seqPresent = 0x80;
constexpr uint8_t slotPresent = 0x40;
constexpr unsigned maxSlot = 1023;
}  // namespace

// The envelope is {seq INTEGER OPTIONAL, slot INTEGER (0..1023) OPTIONAL, pdu}:
// two presence bits padded to an octet, seq as a length octet and its
// octets, then the slot in two aligned octets.
long SlotOffset(const uint8_t* data, size_t length) {
  if (length < 1 || !(data[0] & slotPresent)) return -1;
  size_t offset = 1;
  if (data[0] & seqPresent) {
    if (length < 2 || (data[1] & 0x80)) return -1;  // only the one-octet length form
    offset = 2 + data[1];
  }
  if (offset + 2 > length) return -1;
  return long(offset);
}

std::vector<uint8_t> WithOutOfRangeSlotCleared(const uint8_t* data, size_t length) {
  const long at = SlotOffset(data, length);
  if (at < 0) return {};
  const unsigned slot = unsigned(data[at]) << 8 | data[at + 1];
  if (slot <= maxSlot) return {};
  std::vector<uint8_t> copy(data, data + length);
  copy[size_t(at)] = 0;
  copy[size_t(at) + 1] = 0;
  return copy;
}

}  // namespace CtrlSrv

#pragma once
// Building blocks of the argument records passed to the board's drivers.
// A record is a fixed array of bytes in the board's (big-endian) order; its
// fields are packed and unpacked at fixed offsets, checked at compile time
// against the record's size, so a mistyped offset cannot write past the end.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"

namespace Driver {

template <size_t Size>
using Record = std::array<uint8_t, Size>;

template <size_t Offset, size_t Size>
void put8(Record<Size>& r, uint8_t v) {
  static_assert(Offset + 1 <= Size, "field past the end of the record");
  platform::be::put8(r.data() + Offset, v);
}
template <size_t Offset, size_t Size>
void put16(Record<Size>& r, uint16_t v) {
  static_assert(Offset + 2 <= Size, "field past the end of the record");
  platform::be::put16(r.data() + Offset, v);
}
template <size_t Offset, size_t Size>
void put32(Record<Size>& r, uint32_t v) {
  static_assert(Offset + 4 <= Size, "field past the end of the record");
  platform::be::put32(r.data() + Offset, v);
}

template <size_t Offset, size_t Size>
uint8_t get8(const Record<Size>& r) {
  static_assert(Offset + 1 <= Size, "field past the end of the record");
  return platform::be::get8(r.data() + Offset);
}
template <size_t Offset, size_t Size>
uint16_t get16(const Record<Size>& r) {
  static_assert(Offset + 2 <= Size, "field past the end of the record");
  return platform::be::get16(r.data() + Offset);
}
template <size_t Offset, size_t Size>
uint32_t get32(const Record<Size>& r) {
  static_assert(Offset + 4 <= Size, "field past the end of the record");
  return platform::be::get32(r.data() + Offset);
}
template <size_t Offset, size_t Size>
int32_t get32s(const Record<Size>& r) {
  return int32_t(get32<Offset>(r));
}

// Request numbers as the board's kernel encodes them: direction in bits
// 31..29, argument size in 28..16, type letter in 15..8, number in 7..0.
enum class Dir : uint32_t { none = 1, read = 2, write = 4, read_write = 6 };

constexpr uint32_t Request(Dir dir, char type, uint32_t nr, uint32_t size) {
  return (uint32_t(dir) << 29) | ((size & 0x1fff) << 16) | (uint32_t(uint8_t(type)) << 8) | (nr & 0xff);
}

}  // namespace Driver

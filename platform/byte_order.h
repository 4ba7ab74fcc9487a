#pragma once
// Driver records are big-endian, as the board is. They are always built and
// read byte by byte with these helpers, never by casting a struct over a
// buffer, so the same source is right on the board and on a little-endian PC.

#include <cstddef>
#include <cstdint>

namespace platform::be {

inline void put8(uint8_t* p, uint8_t v) { p[0] = v; }
inline void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
inline void put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}
inline void put64(uint8_t* p, uint64_t v) {
  put32(p, uint32_t(v >> 32));
  put32(p + 4, uint32_t(v));
}

inline uint8_t get8(const uint8_t* p) { return p[0]; }
inline uint16_t get16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline uint64_t get64(const uint8_t* p) { return (uint64_t(get32(p)) << 32) | get32(p + 4); }
inline int32_t get32s(const uint8_t* p) { return int32_t(get32(p)); }

}  // namespace platform::be

#pragma once
// The TDM switch requests of "/dev/hal". Arguments are big-endian signed
// 32-bit words: {destination, source} for a connect, {destination} for a
// disable, {destination, byte} for a write, {channel, 255} for a read, whose
// second word comes back holding the byte on the channel.

#include <cstdint>

#include "slots/driver_record.h"

namespace Hal {

inline constexpr uint32_t MUX_CONNECT = 0x80084D02;
inline constexpr uint32_t MUX_DISABLE = 0x80044D03;
inline constexpr uint32_t MUX_WRITE = 0xC0084D04;
inline constexpr uint32_t MUX_READ = 0xC0084D05;

static_assert(MUX_CONNECT == Driver::Request(Driver::Dir::write, 'M', 2, 8));
static_assert(MUX_DISABLE == Driver::Request(Driver::Dir::write, 'M', 3, 4));
static_assert(MUX_WRITE == Driver::Request(Driver::Dir::read_write, 'M', 4, 8));
static_assert(MUX_READ == Driver::Request(Driver::Dir::read_write, 'M', 5, 8));

// What a disconnected destination carries: the A-law idle pattern.
inline constexpr uint8_t kIdleByte = 0xD5;

}  // namespace Hal

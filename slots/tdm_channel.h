#pragma once
// Channel numbers of the TDM switch. Trunk, line and bus users form them
// here; DSP resources (RTP channels, mixer ports, modems) get theirs from
// their drivers.

namespace Tdm {

inline constexpr int kTrunks = 4;
inline constexpr int kTrunkTimeslots = 32;
inline constexpr int kBriLines = 8;
inline constexpr int kBriTimeslots = 4;
inline constexpr int kBuses = 16;
inline constexpr int kBusChannels = 128;

// Shared bus channels: the only ones the switch keeps a shadow of.
inline constexpr int kSharedFirst = 8192;
inline constexpr int kSharedCount = kBuses * kBusChannels;  // 2048

// E1 trunk t (0..3), timeslot s (0..31).
constexpr int TrunkChannel(int trunk, int timeslot) { return trunk * kTrunkTimeslots + timeslot; }
// BRI line l (0..7), timeslot s (0..3): the same numbers as trunk 0, since a
// board carries either E1 trunks or BRI lines.
constexpr int BriChannel(int line, int timeslot) { return line * kBriTimeslots + timeslot; }
// Shared bus b (0..15), channel c (0..127).
constexpr int BusChannel(int bus, int channel) { return kSharedFirst + bus * kBusChannels + channel; }

constexpr bool IsShared(int channel) { return channel >= kSharedFirst && channel < kSharedFirst + kSharedCount; }

}  // namespace Tdm

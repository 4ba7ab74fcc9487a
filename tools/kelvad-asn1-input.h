#pragma once
// Reading the octets an operator pastes into kelvad-asn1: hexadecimal with
// or without blanks, the daemon's hex dump (" msg: C0 01 ... "), and a TPKT
// frame as cut from a capture.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace asn1tool {

// Parses text into octets. Blanks, tabs, line ends and commas separate
// groups; a group may carry a "0x" prefix and holds an even number of hex
// digits. Text up to a "msg:" marker (the daemon's log line) is skipped.
// False with a message naming the offending character when it is not hex.
bool parseHex(std::string_view text, std::vector<std::uint8_t>& out, std::string& error);

enum class Tpkt {
  absent,     // does not start like a TPKT header
  removed,    // header with a matching length, now stripped
  mismatched, // starts 03 00 but the length field disagrees; left in place
};

// Strips a leading TPKT header (version 3, reserved 0, 16-bit length that
// counts the whole frame) when its length matches the octets given.
Tpkt stripTpkt(std::vector<std::uint8_t>& bytes);

// "C0 01 05", upper case, one blank between octets.
std::string toHex(const std::vector<std::uint8_t>& bytes);

} // namespace asn1tool

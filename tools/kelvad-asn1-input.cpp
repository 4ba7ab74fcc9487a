#include "tools/kelvad-asn1-input.h"

namespace asn1tool {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ','; }

} // namespace

bool parseHex(std::string_view text, std::vector<std::uint8_t>& out, std::string& error) {
  std::size_t pos = 0;
  const auto marker = text.find("msg:");
  if (marker != std::string_view::npos) {
    if (text.find("msg:", marker + 1) != std::string_view::npos) {
      error = "more than one \"msg:\" dump in the input; paste one message at a time";
      return false;
    }
    pos = marker + 4;
  }
  out.clear();
  while (pos < text.size()) {
    if (isSeparator(text[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    std::string_view group = text.substr(pos, end - pos);
    std::size_t first = pos;
    if (group.size() > 2 && group[0] == '0' && (group[1] == 'x' || group[1] == 'X')) {
      group.remove_prefix(2);
      first += 2;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (hexValue(group[i]) < 0) {
        error = "not a hexadecimal digit: '" + std::string(1, group[i]) + "' at character " +
                std::to_string(first + i + 1);
        return false;
      }
    }
    if (group.size() % 2) {
      error = "odd number of hexadecimal digits in \"" + std::string(group) + "\" at character " +
              std::to_string(first + 1);
      return false;
    }
    for (std::size_t i = 0; i < group.size(); i += 2)
      out.push_back(std::uint8_t(hexValue(group[i]) << 4 | hexValue(group[i + 1])));
    pos = end;
  }
  return true;
}

Tpkt stripTpkt(std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 4 || bytes[0] != 3 || bytes[1] != 0) return Tpkt::absent;
  const std::size_t length = std::size_t(bytes[2]) << 8 | bytes[3];
  if (length != bytes.size()) return Tpkt::mismatched;
  bytes.erase(bytes.begin(), bytes.begin() + 4);
  return Tpkt::removed;
}

std::string toHex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) text += ' ';
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

} // namespace asn1tool

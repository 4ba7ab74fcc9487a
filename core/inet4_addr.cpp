#include "core/inet4_addr.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace INet4 {

void Addr::Reset() {
  std::memset(&sa_, 0, sizeof sa_);
  sa_.sin_family = AF_INET;
}

bool Addr::Assign(const std::string& text, int* port) {
  if (port) *port = -1;
  std::string::size_type colon = text.find(':');
  std::string host = text.substr(0, colon);
  in_addr parsed{};
  if (::inet_aton(host.c_str(), &parsed) == 0) return false;
  sa_.sin_family = AF_INET;
  sa_.sin_addr = parsed;
  if (colon == std::string::npos) return true;

  // A port that strtol would read as 0 or cut to 16 bits would connect
  // somewhere else than asked: refuse it instead.
  const char* digits = text.c_str() + colon + 1;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(digits, &end, 10);
  if (end == digits || *end != '\0' || errno == ERANGE || value < 0 || value > 65535) return false;
  if (port) *port = int(value);
  sa_.sin_port = htons(uint16_t(value));
  return true;
}

void Addr::Assign(unsigned long address) { sa_.sin_addr.s_addr = htonl(uint32_t(address)); }

bool Addr::IsEqual(const Addr& other) const {
  return sa_.sin_addr.s_addr == other.sa_.sin_addr.s_addr && sa_.sin_port == other.sa_.sin_port;
}

void Addr::Put(std::ostream& out) const {
  uint32_t a = address();
  out << (a >> 24) << '.' << ((a >> 16) & 255) << '.' << ((a >> 8) & 255) << '.' << (a & 255) << ':' << port();
}

std::string Addr::GetString() const {
  std::ostringstream out;
  Put(out);
  return out.str();
}

std::vector<uint8_t> Addr::GetVector() const {
  uint32_t a = address();
  return {uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a)};
}

}  // namespace INet4

#pragma once
// An IPv4 socket address (sockaddr_in) parsed from "A.B.C.D" or "A.B.C.D:PORT".

#include <netinet/in.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace INet4 {

class Addr {
 public:
  Addr() { Reset(); }
  explicit Addr(const sockaddr_in& sa) : sa_(sa) {}

  // Clears the address and sets the family.
  void Reset();
  // Parses the address before the first ':' (inet_aton) and the decimal port
  // after it. False when the address does not parse, or when a port is given
  // that is not a number in 0..65535. port receives the port, or -1 without ':'.
  bool Assign(const std::string& text, int* port = nullptr);
  // Sets the address only; the value is in host byte order.
  void Assign(unsigned long address);
  void SetPort(uint16_t port) { sa_.sin_port = htons(port); }

  bool IsEqual(const Addr& other) const;
  // "A.B.C.D:PORT"
  void Put(std::ostream& out) const;
  std::string GetString() const;
  // The four address bytes, most significant first.
  std::vector<uint8_t> GetVector() const;

  uint16_t port() const { return ntohs(sa_.sin_port); }
  uint32_t address() const { return ntohl(sa_.sin_addr.s_addr); }
  const sockaddr_in& sockaddr() const { return sa_; }
  sockaddr_in& sockaddr() { return sa_; }

 private:
  sockaddr_in sa_;
};

inline std::ostream& operator<<(std::ostream& out, const Addr& addr) {
  addr.Put(out);
  return out;
}

}  // namespace INet4

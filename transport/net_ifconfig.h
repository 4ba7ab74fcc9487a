#pragma once
// The host's IPv4 interface addresses and interface names, read with socket
// ioctls (SIOCGIFCONF, SIOCGIFADDR, SIOCGIFFLAGS) on a datagram socket. The
// requests go through an InterfaceQuery so that another back-end (a simulated
// board) can answer them instead of the kernel.

#include <list>
#include <string>

#include "core/inet4_addr.h"

namespace Net {

class InterfaceQuery {
 public:
  virtual ~InterfaceQuery() = default;
  // A datagram socket to ask on, or -1.
  virtual int open_socket() = 0;
  virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
  virtual void close_socket(int fd) = 0;
};

// The kernel's answers (the default).
InterfaceQuery& kernel_interface_query();
InterfaceQuery& interface_query();
// Replaces the back-end; null restores the kernel.
void set_interface_query(InterfaceQuery* query);

// Private addresses only (10/8, 172.16/12, 192.168/16); the daemon's mode.
inline constexpr int ifconfig_private = 4;
// Any other mode lists every IPv4 address.
inline constexpr int ifconfig_all = 0;

// Appends the IPv4 addresses of up to 16 interfaces; the count added, or -1
// when no socket could be created.
int ifconfig(std::list<INet4::Addr>& list, int mode);
// Appends the names of the interfaces whose flags include all of flags.
int ifconfig(std::list<std::string>& names, short flags);

bool is_private(const INet4::Addr& addr);

}  // namespace Net
